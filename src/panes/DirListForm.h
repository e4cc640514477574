#pragma once
#include <QDialog>
#include <QStringList>

class QListWidget;
class QToolButton;
class TUserDialogs;

// The bookmark editor: a working copy of one directory box's history, pruned by deleting
// selected rows or clearing all, handed back only on OK.
class TDirListForm : public QDialog {
    Q_OBJECT
public:
    TDirListForm(QWidget* owner, const QStringList& entries, TUserDialogs& dialogs);

    // The rows in their order.
    QStringList Entries() const;
    QListWidget* DirListBox() const { return dirListBox_; }
    QToolButton* Button(const char* name) const;

    void DeleteBtnClick();
    void AllClearBtnClick();

private:
    QListWidget* dirListBox_;
    TUserDialogs& dialogs_;
};
