// The main window's wiring of the local pane.
#include "app/MainForm.h"

#include "app/ExceptionGuard.h"
#include "panes/LocalPane.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QTreeView>

void TMainForm::SetUpLocalPane()
{
    auto* model = static_cast<TFileListModel*>(localFileListView_->model());
    localPane_ = std::make_unique<TLocalPane>(
        *model, TLocalPane::Sources{options_, TextExtList, ImageExtList, [this] { return LocalMask(); }});
    FillLocalFileList = [this] { localPane_->FillLocalFileList(); };
    if (auto* tree = qobject_cast<QTreeView*>(localFileListView_)) {
        tree->header()->setSectionsClickable(true);
        connect(tree->header(), &QHeaderView::sectionClicked, this,
                [this](int column) { Guarded([this, column] { localPane_->ColumnClick(column); })(); });
    }
}
