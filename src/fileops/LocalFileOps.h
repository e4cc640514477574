#pragma once
#include "settings/ActionEnabling.h"

#include <QList>
#include <QString>

#include <functional>

class QWidget;
class TFileOperationLog;
class TUserDialogs;
struct TWindowOptions;

// One selected row of the local file list.
struct TLocalRow {
    QString name;
    bool folder = false;
};

// What the local file operations use of the local pane.
struct TLocalPaneAccess {
    std::function<QString()> currentDirectory;
    // The selected rows in list order.
    std::function<QList<TLocalRow>()> selectedRows;
    std::function<void()> fillLocalFileList;
    // Re-reads the directory list after a directory was created.
    std::function<void()> readDirectoryTree;
};

// What else they use of the main window.
struct TLocalFileOpsHost {
    QWidget& owner;
    TUserDialogs& dialogs;
    const TFileOperationLog& fileOperationLog;
    // The program directory, for the detailed listing's scratch file.
    const QString& appDir;
    const TWindowOptions& options;
    std::function<void()> aOptionExecute;
};

// The local pane's commands on files and directories: open, view, create, rename, change the
// extension or letter case, delete, and the detailed listing.
class TLocalFileOps {
public:
    TLocalFileOps(TLocalFileOpsHost host, TLocalPaneAccess pane);

    void aLocalFileOpenExecute();
    void aLocalFileViewExecute();
    void aLocalMkDirExecute();
    void aLocalRenameExecute();
    void aLocalExtModifyExecute();
    void aLocalUpperCaseExecute();
    void aLocalLowerCaseExecute();
    void aLocalFileDeleteExecute();
    void aLocalDetailExecute();

    // Opening and viewing need a selected file; renaming and deleting any selected row.
    static void EnableActions(const TEnablingFacts& facts, const TActionSwitch& actions);

private:
    enum class TStep { Next, Stop };

    TUserDialogs& Dialogs() const { return host_.dialogs; }
    QString FullPath(const QString& name) const;
    // The selected rows that can be acted on, or none after the notice when nothing is selected.
    QList<TLocalRow> SelectedRowsOrNotice(const QString& notice) const;
    // Starts the viewer on path; on failure shows the notice and opens the options dialog.
    void StartViewerOrReconfigure(const QString& path) const;
    // Asks before renaming name to newName, renames on Yes and logs a success; changed is set
    // on every Yes.
    TStep ConfirmAndRename(const QString& name, const QString& newName, bool& changed) const;
    void ChangeCase(const QString& questionTail, QString (*transform)(const QString&));

    TLocalFileOpsHost host_;
    TLocalPaneAccess pane_;
};
