#include "app/PaneWiring.h"

#include "app/WindowActions.h"
#include "panes/DirBoxBehaviour.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "panes/PaneDropTarget.h"
#include "service/ExceptionGuard.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTreeView>

namespace {

// Enter and Backspace in a file list, as file managers take them.
class TRowKeys : public QObject {
public:
    TRowKeys(QAbstractItemView& view, std::function<void()> open, std::function<void()> folderUp)
        : QObject(&view), open_(std::move(open)), folderUp_(std::move(folderUp))
    {
        view.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            open_();
            return true;
        case Qt::Key_Backspace:
            folderUp_();
            return true;
        default:
            return false;
        }
    }

private:
    std::function<void()> open_;
    std::function<void()> folderUp_;
};

}  // namespace

void WirePane(QObject& context, const TPaneWiring& pane)
{
    new TDirBoxBehaviour(pane.dirBox, pane.lastDirBoxKey, Guarded(pane.refresh));
    pane.maskBox.setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(pane.maskBox.lineEdit(), &QLineEdit::editingFinished, &context, Guarded(pane.maskBoxExit));
    QHeaderView* header = pane.views.Report().header();
    header->setSectionsClickable(true);
    QObject::connect(header, &QHeaderView::sectionClicked, &context, Guarded(pane.columnClick));

    TFileViewStack& views = pane.views;
    TWindowActions& actions = pane.actions;
    const auto doubleClick = [&views, &actions, option = pane.doubleClickOption, viewAction = pane.viewAction,
                              transferAction = pane.transferAction, openFolder = pane.openFolder] {
        const TFileRow* row = views.FirstSelectedRow();
        if (!row)
            return;
        if (row->entry.IsFolder())
            openFolder(row->entry);
        else if (const int choice = option(); choice == 0 || choice == 1)
            actions.Run(choice == 0 ? viewAction : transferAction);
    };
    const auto dropEnabled = [&actions, dropAction = pane.dropAction] { return actions.Action(dropAction)->isEnabled(); };
    const auto folderUp = [&actions, name = pane.folderUpAction] {
        if (QAction* up = actions.Action(name); up->isEnabled())
            up->trigger();
    };
    for (QAbstractItemView* view : views.Views()) {
        QObject::connect(view, &QAbstractItemView::doubleClicked, &context, Guarded(doubleClick));
        new TRowKeys(*view, Guarded(doubleClick), Guarded(folderUp));
        new TPaneDropTarget(
            *view, pane.droppedRowsFormat, [connected = pane.connected, dropEnabled] { return connected() && dropEnabled(); },
            Guarded([&actions, dropAction = pane.dropAction, dropEnabled] {
                if (dropEnabled())
                    actions.Run(dropAction);
            }));
    }
}
