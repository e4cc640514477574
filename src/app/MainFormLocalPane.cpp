// The local pane and the local file operations, built over the window's controls.
#include "app/MainForm.h"

#include "app/PaneWiring.h"
#include "fileops/LocalFileOps.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "panes/LocalPane.h"
#include "panes/PaneDropTarget.h"
#include "service/ExceptionGuard.h"

#include <QComboBox>
#include <QListWidget>
#include <QTreeView>

void TMainForm::SetUpLocalPane()
{
    TFileViewStack* views = controls_.LocalFileListView;
    localPane_ = std::make_unique<TLocalPane>(
        views->Model(),
        TLocalPane::Sources{
            .options = options_,
            .textExtensions = extensions_.TextExtList,
            .imageExtensions = extensions_.ImageExtList,
            .view = views->Report(),
            .dirBox = *controls_.LocalDirBox,
            .maskBox = *controls_.LocalMaskBox,
            .driveBox = *controls_.LocalDriveBox,
            .dirList = *controls_.LocalDirListBox,
            .showMessage = [this](const QString& text) { dialogs_.ShowMessage(text); },
            .directoryChanged = [this](const QString& directory) { emit LocalDirectoryChanged(directory); },
            .fitColumns = [views] { views->FitColumnsToNewRows(); },
        });
    TLocalPane& pane = *localPane_;
    connect(controls_.LocalDriveBox, &QComboBox::activated, this,
            Guarded([&pane](int index) { pane.LocalDriveBoxChange(index); }));
    connect(controls_.LocalDirListBox, &QListWidget::itemClicked, this,
            Guarded([&pane](QListWidgetItem* item) { pane.LocalDirListBoxMouseUp(*item); }));
    actions_.SetHandler("aLocalRefresh", [&pane] { pane.aLocalRefreshExecute(); });
    actions_.SetHandler("aLocalDirectoryUp", [&pane] { pane.aLocalDirectoryUpExecute(); });
    actions_.SetHandler("aLocalSelectAll", [&pane] { pane.aLocalSelectAllExecute(); });
    WirePane(*this, {.views = *views,
                     .dirBox = *controls_.LocalDirBox,
                     .maskBox = *controls_.LocalMaskBox,
                     .lastDirBoxKey = lastDirBoxKey_,
                     .actions = actions_,
                     .refresh = [&pane] { pane.aLocalRefreshExecute(); },
                     .maskBoxExit = [&pane] { pane.LocalMaskBoxExit(); },
                     .columnClick = [&pane](int column) { pane.ColumnClick(column); },
                     .doubleClickOption = [this] { return options_.iOnLocalDblClick; },
                     .viewAction = QStringLiteral("aLocalFileView"),
                     .transferAction = QStringLiteral("aUpload"),
                     .openFolder = [&pane](const TFileEntry& folder) { pane.OpenLocalSubdirectory(folder.name); },
                     .folderUpAction = QStringLiteral("aLocalDirectoryUp"),
                     .deleteAction = QStringLiteral("aLocalFileDelete"),
                     .droppedRowsFormat = QString::fromLatin1(RemoteRowsFormat),
                     .dropAction = QStringLiteral("aDownload"),
                     .connected = [this] { return SessionConnected(); }});
}

void TMainForm::SetUpLocalFileOps()
{
    localFileOps_ = std::make_unique<TLocalFileOps>(
        TLocalFileOpsHost{.owner = *this,
                          .dialogs = dialogs_,
                          .fileOperationLog = *fileOperationLog_,
                          .appDir = appDir_,
                          .options = options_,
                          .aOptionExecute = [this] { Action(QStringLiteral("aOption"))->trigger(); }},
        TLocalPaneAccess{.currentDirectory = [this] { return localPane_->Folder(); },
                         .selectedRows = [this] { return FileOpRows(controls_.LocalFileListView->SelectedEntries()); },
                         .fillLocalFileList = [this] { localPane_->FillLocalFileList(); },
                         .readDirectoryTree = [this] { localPane_->ReadDirectoryTree(); }});
    TLocalFileOps& ops = *localFileOps_;
    actions_.SetHandler("aLocalFileOpen", [&ops] { ops.aLocalFileOpenExecute(); });
    actions_.SetHandler("aLocalFileView", [&ops] { ops.aLocalFileViewExecute(); });
    actions_.SetHandler("aLocalMkDir", [&ops] { ops.aLocalMkDirExecute(); });
    actions_.SetHandler("aLocalRename", [&ops] { ops.aLocalRenameExecute(); });
    actions_.SetHandler("aLocalExtModify", [&ops] { ops.aLocalExtModifyExecute(); });
    actions_.SetHandler("aLocalUpperCase", [&ops] { ops.aLocalUpperCaseExecute(); });
    actions_.SetHandler("aLocalLowerCase", [&ops] { ops.aLocalLowerCaseExecute(); });
    actions_.SetHandler("aLocalFileDelete", [&ops] { ops.aLocalFileDeleteExecute(); });
    actions_.SetHandler("aLocalDetail", [&ops] { ops.aLocalDetailExecute(); });
    actions_.AddEnablingRule(TLocalFileOps::EnableActions);
}
