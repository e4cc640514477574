#pragma once
#include "MainFormFixture.h"

#include <QAbstractButton>
#include <QDialog>

#include <functional>

// A dialog of the window run through its action, the script acting on it while it is shown.
class DialogSceneTest : public MainFormTest {
protected:
    void RunDialog(const char* action, std::function<void()> script)
    {
        dialogs_->QueueDialog([this, script](QDialog& dialog) {
            dialog_ = &dialog;
            script();
            return dialog.result();
        });
        form_->Action(action)->trigger();
    }
    template <class T>
    T* Get(const char* name) const
    {
        T* control = dialog_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    void Click(const char* name) const { Get<QAbstractButton>(name)->click(); }

    QDialog* dialog_ = nullptr;
};
