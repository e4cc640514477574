#pragma once
#include "fileops/FileOpSteps.h"
#include "settings/ActionEnabling.h"

#include <QList>
#include <QString>

#include <functional>

class QWidget;
class TFileOperationLog;
class TUserDialogs;
struct TWindowOptions;

// What the local file operations use of the local pane.
struct TLocalPaneAccess {
    std::function<QString()> currentDirectory;
    // The selected rows in list order.
    std::function<QList<TFileOpRow>()> selectedRows;
    std::function<void()> fillLocalFileList;
    // Re-reads the directory list after a directory was created.
    std::function<void()> readDirectoryTree;
};

// What else they use of the main window.
struct TLocalFileOpsHost {
    QWidget& owner;
    TUserDialogs& dialogs;
    TFileOperationLog& fileOperationLog;
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
    QString FullPath(const QString& name) const;
    // The selected rows that can be acted on, or none after the notice when nothing is selected.
    QList<TFileOpRow> SelectedRowsOrNotice(TFileOpSteps::TNotice notice) const;
    void StartViewerOrReconfigure(const QString& path) const;
    // Renames in the local directory and logs a success; a refusal is not reported.
    TTask<> RenameLocally(const TFileOpRow& row, const QString& newName) const;
    // Lists the pane again when the renames changed a name.
    TTask<> RelistAfter(TTask<bool> renames);
    void ChangeCase(TLetterCase letterCase);

    TLocalFileOpsHost host_;
    TLocalPaneAccess pane_;
    TFileOpSteps steps_;
};
