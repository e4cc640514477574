// The local pane and the local file operations, built over the window's controls.
#include "app/MainForm.h"

#include "service/ExceptionGuard.h"
#include "fileops/LocalFileOps.h"
#include "panes/DirBoxBehaviour.h"
#include "panes/FileViewStack.h"
#include "panes/LocalPane.h"
#include "panes/PaneDropTarget.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeView>

#include <algorithm>

void TMainForm::SetUpLocalPane()
{
    TFileViewStack* views = controls_.LocalFileListView;
    localPane_ = std::make_unique<TLocalPane>(
        views->Model(),
        TLocalPane::Sources{options_, extensions_.TextExtList, extensions_.ImageExtList, views->Report(),
                            *controls_.LocalDirBox, *controls_.LocalMaskBox, *controls_.LocalDriveBox,
                            *controls_.LocalDirListBox, [this](const QString& text) { dialogs_.ShowMessage(text); },
                            [this](const QString& directory) { emit LocalDirectoryChanged(directory); },
                            [views] { views->FitColumnsToNewRows(); }});
    TLocalPane& pane = *localPane_;
    new TDirBoxBehaviour(*controls_.LocalDirBox, lastDirBoxKey_, Guarded([&pane] { pane.aLocalRefreshExecute(); }));
    connect(controls_.LocalDriveBox, &QComboBox::activated, this,
            Guarded([&pane](int index) { pane.LocalDriveBoxChange(index); }));
    connect(controls_.LocalDirListBox, &QListWidget::itemClicked, this,
            Guarded([&pane](QListWidgetItem* item) { pane.LocalDirListBoxMouseUp(*item); }));
    controls_.LocalMaskBox->setInsertPolicy(QComboBox::NoInsert);
    connect(controls_.LocalMaskBox->lineEdit(), &QLineEdit::editingFinished, this,
            Guarded([&pane] { pane.LocalMaskBoxExit(); }));
    actions_.SetHandler("aLocalRefresh", [&pane] { pane.aLocalRefreshExecute(); });
    actions_.SetHandler("aLocalDirectoryUp", [&pane] { pane.aLocalDirectoryUpExecute(); });
    actions_.SetHandler("aLocalSelectAll", [&pane] { pane.aLocalSelectAllExecute(); });
    QHeaderView* header = views->Report().header();
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this, Guarded([&pane](int column) { pane.ColumnClick(column); }));
    for (QAbstractItemView* view : views->Views()) {
        connect(view, &QAbstractItemView::doubleClicked, this, Guarded([this, views, &pane] {
                    FileListViewDblClick(*views, options_.iOnLocalDblClick, "aLocalFileView", "aUpload",
                                         [&pane](const TFileEntry& folder) { pane.OpenLocalSubdirectory(folder.name); });
                }));
        // Rows dragged from the remote list download into this directory.
        new TPaneDropTarget(
            *view, QString::fromLatin1(RemoteRowsFormat),
            [this] { return SessionConnected() && Action(QStringLiteral("aDownload"))->isEnabled(); },
            Guarded([this] {
                if (Action(QStringLiteral("aDownload"))->isEnabled())
                    actions_.Run(QStringLiteral("aDownload"));
            }));
    }
}

void TMainForm::SetUpLocalFileOps()
{
    const TFileListModel& model = controls_.LocalFileListView->Model();
    TLocalPaneAccess pane{[this] { return localPane_->Folder(); },
                          [this, &model] {
                              QList<TFileOpRow> rows;
                              for (int row : SelectedRows(*controls_.LocalFileListView))
                                  rows.append({model.Row(row).entry.name, model.Row(row).entry.IsFolder()});
                              return rows;
                          },
                          [this] { localPane_->FillLocalFileList(); },
                          [this] { localPane_->ReadDirectoryTree(); }};
    localFileOps_ = std::make_unique<TLocalFileOps>(
        TLocalFileOpsHost{*this, dialogs_, *fileOperationLog_, appDir_, options_,
                          [this] { Action(QStringLiteral("aOption"))->trigger(); }},
        std::move(pane));
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
