// The main window's wiring of the local pane.
#include "app/MainForm.h"

#include "app/ExceptionGuard.h"
#include "fileops/LocalFileOps.h"
#include "panes/DirBoxBehaviour.h"
#include "panes/FileViewStack.h"
#include "panes/LocalPane.h"
#include "panes/PaneDropTarget.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeView>

#include <algorithm>

void TMainForm::SetUpLocalPane()
{
    TFileListModel* model = &localFileViews_->Model();
    localPane_ = std::make_unique<TLocalPane>(
        *model, TLocalPane::Sources{options_, TextExtList, ImageExtList, *localFileListView_, *localDirBox_,
                                    *localMaskBox_, *localDriveBox_, *localDirListBox_,
                                    [this](const QString& text) { Dialogs().ShowMessage(text); },
                                    [this](const QString& directory) { emit LocalDirectoryChanged(directory); },
                                    [this] { localFileViews_->FitColumns(); }});
    new TDirBoxBehaviour(*localDirBox_, LastDirBoxKey, Guarded([this] { localPane_->aLocalRefreshExecute(); }));
    connect(localDriveBox_, &QComboBox::activated, this,
            [this](int index) { Guarded([this, index] { localPane_->LocalDriveBoxChange(index); })(); });
    connect(localDirListBox_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { Guarded([this, item] { localPane_->LocalDirListBoxMouseUp(*item); })(); });
    localMaskBox_->setInsertPolicy(QComboBox::NoInsert);
    connect(localMaskBox_->lineEdit(), &QLineEdit::editingFinished, this, [this] { localPane_->LocalMaskBoxExit(); });
    FillLocalFileList = [this] { localPane_->FillLocalFileList(); };
    SetActionHandler("aLocalRefresh", [this] { localPane_->aLocalRefreshExecute(); });
    SetActionHandler("aLocalDirectoryUp", [this] { localPane_->aLocalDirectoryUpExecute(); });
    SetActionHandler("aLocalSelectAll", [this] { localPane_->aLocalSelectAllExecute(); });
    QHeaderView* header = localFileViews_->Report().header();
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int column) { Guarded([this, column] { localPane_->ColumnClick(column); })(); });
    for (QAbstractItemView* view : localFileViews_->Views()) {
        connect(view, &QAbstractItemView::doubleClicked, this,
                [this, model](const QModelIndex&) { Guarded([this, model] { LocalFileListViewDblClick(*model); })(); });
        // Rows dragged from the remote list download into this directory.
        new TPaneDropTarget(
            *view, QString::fromLatin1(RemoteRowsFormat),
            [this] { return SessionConnected() && Action(QStringLiteral("aDownload"))->isEnabled(); },
            Guarded([this] {
                if (Action(QStringLiteral("aDownload"))->isEnabled())
                    RunAction(QStringLiteral("aDownload"));
            }));
    }
    SetUpLocalFileOps(*model);
}

void TMainForm::SetUpLocalFileOps(const TFileListModel& model)
{
    TLocalFileOpsHost host{this,
                           [this]() -> TUserDialogs& { return Dialogs(); },
                           [this]() -> const TFileOperationLog& { return FileOperationLog(); },
                           [this] { return appDir_; },
                           &options_,
                           [this] { Action(QStringLiteral("aOption"))->trigger(); }};
    TLocalPaneAccess pane{[] { return QDir::currentPath(); },
                          [this, &model] {
                              QList<TLocalRow> rows;
                              for (int row : SelectedLocalRows())
                                  rows.append({model.Row(row).caption, model.Row(row).icon == fiFolder});
                              return rows;
                          },
                          [this] { localPane_->FillLocalFileList(); },
                          [this] { localPane_->ReadDirectoryTree(); }};
    localFileOps_ = std::make_unique<TLocalFileOps>(std::move(host), std::move(pane));
    const std::pair<const char*, void (TLocalFileOps::*)()> commands[] = {
        {"aLocalFileOpen", &TLocalFileOps::aLocalFileOpenExecute},
        {"aLocalFileView", &TLocalFileOps::aLocalFileViewExecute},
        {"aLocalMkDir", &TLocalFileOps::aLocalMkDirExecute},
        {"aLocalRename", &TLocalFileOps::aLocalRenameExecute},
        {"aLocalExtModify", &TLocalFileOps::aLocalExtModifyExecute},
        {"aLocalUpperCase", &TLocalFileOps::aLocalUpperCaseExecute},
        {"aLocalLowerCase", &TLocalFileOps::aLocalLowerCaseExecute},
        {"aLocalFileDelete", &TLocalFileOps::aLocalFileDeleteExecute},
        {"aLocalDetail", &TLocalFileOps::aLocalDetailExecute},
    };
    for (const auto& [name, command] : commands)
        SetActionHandler(QString::fromLatin1(name), [this, command] { (localFileOps_.get()->*command)(); });
}

QList<int> TMainForm::SelectedLocalRows() const
{
    QList<int> rows;
    for (const QModelIndex& index : localFileListView_->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TMainForm::LocalFileListViewDblClick(const TFileListModel& model)
{
    const QList<int> rows = SelectedLocalRows();
    if (rows.isEmpty())
        return;
    const TFileRow& row = model.Row(rows.first());
    if (row.icon == fiFolder)
        localPane_->OpenLocalSubdirectory(row.caption);
    else if (options_.iOnLocalDblClick == 0)
        RunAction(QStringLiteral("aLocalFileView"));
    else if (options_.iOnLocalDblClick == 1)
        RunAction(QStringLiteral("aUpload"));
}
