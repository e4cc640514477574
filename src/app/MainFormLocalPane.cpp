// The main window's wiring of the local pane.
#include "app/MainForm.h"

#include "app/ExceptionGuard.h"
#include "panes/LocalPane.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QTreeView>

#include <algorithm>

void TMainForm::SetUpLocalPane()
{
    auto* model = static_cast<TFileListModel*>(localFileListView_->model());
    localPane_ = std::make_unique<TLocalPane>(*model, TLocalPane::Sources{options_, TextExtList, ImageExtList,
                                                                           *localFileListView_, *localDirBox_,
                                                                           *localMaskBox_});
    FillLocalFileList = [this] { localPane_->FillLocalFileList(); };
    SetActionHandler("aLocalRefresh", [this] { localPane_->aLocalRefreshExecute(); });
    SetActionHandler("aLocalDirectoryUp", [this] { localPane_->aLocalDirectoryUpExecute(); });
    SetActionHandler("aLocalSelectAll", [this] { localPane_->aLocalSelectAllExecute(); });
    if (auto* tree = qobject_cast<QTreeView*>(localFileListView_)) {
        tree->header()->setSectionsClickable(true);
        connect(tree->header(), &QHeaderView::sectionClicked, this,
                [this](int column) { Guarded([this, column] { localPane_->ColumnClick(column); })(); });
    }
    connect(localFileListView_, &QAbstractItemView::doubleClicked, this,
            [this, model](const QModelIndex&) { Guarded([this, model] { LocalFileListViewDblClick(*model); })(); });
}

void TMainForm::LocalFileListViewDblClick(const TFileListModel& model)
{
    QModelIndexList rows = localFileListView_->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    const QModelIndex first = *std::min_element(
        rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    const TFileRow& row = model.Row(first.row());
    if (row.icon == fiFolder)
        localPane_->OpenLocalSubdirectory(row.caption);
    else if (options_.iOnLocalDblClick == 0)
        RunAction(QStringLiteral("aLocalFileView"));
    else if (options_.iOnLocalDblClick == 1)
        RunAction(QStringLiteral("aUpload"));
}
