#include "panes/FileViewStack.h"

#include "panes/FileListModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QListView>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

namespace {

void SetCommonProperties(QAbstractItemView& view, TFileListModel* model)
{
    view.setModel(model);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setDragEnabled(true);
    view.setDragDropMode(QAbstractItemView::DragDrop);
    view.setAcceptDrops(true);
    view.setMinimumSize(40, 40);
}

constexpr int SmallIconSize = 16;
// Room for the icon and the margins around a caption.
constexpr int CaptionPadding = SmallIconSize + 24;
// Small Icon style arranges the captions in cells of one width, as the desktop does.
constexpr int SmallIconCellWidth = 160;

int RowHeight(const QListView& view)
{
    return std::max(view.fontMetrics().height(), 16) + 4;
}

}  // namespace

TFileViewStack::TFileViewStack(const QString& name, TFileListModel* model)
    : model_(model), report_(new QTreeView), icons_(new QListView)
{
    model->setParent(this);
    SetCommonProperties(*report_, model);
    report_->setObjectName(name);
    report_->setRootIsDecorated(false);
    report_->setUniformRowHeights(true);
    report_->header()->resizeSection(0, 100);
    report_->header()->resizeSection(1, 70);
    report_->header()->resizeSection(2, 120);

    SetCommonProperties(*icons_, model);
    icons_->setObjectName(name + QStringLiteral("Icons"));
    icons_->setSelectionModel(report_->selectionModel());
    icons_->setViewMode(QListView::ListMode);
    icons_->setIconSize(QSize(SmallIconSize, SmallIconSize));
    icons_->setResizeMode(QListView::Adjust);
    icons_->setWrapping(true);
    // Every item as large as the first keeps a 100,000-row layout cheap.
    icons_->setUniformItemSizes(true);
    icons_->setLayoutMode(QListView::Batched);
    icons_->setMovement(QListView::Static);

    addWidget(report_);
    addWidget(icons_);

    gatheredFit_ = new QTimer(this);
    gatheredFit_->setSingleShot(true);
    connect(gatheredFit_, &QTimer::timeout, this, &TFileViewStack::FitColumns);
}

QList<QAbstractItemView*> TFileViewStack::Views() const
{
    return {report_, icons_};
}

QList<int> TFileViewStack::SelectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& index : report_->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<TFileEntry> TFileViewStack::SelectedEntries() const
{
    std::vector<TFileEntry> entries;
    for (int row : SelectedRows())
        entries.push_back(model_->Row(row).entry);
    return entries;
}

const TFileRow* TFileViewStack::FirstSelectedRow() const
{
    const QList<int> rows = SelectedRows();
    return rows.isEmpty() ? nullptr : &model_->Row(rows.first());
}

void TFileViewStack::ShowStyle(TViewStyle style)
{
    style_ = style;
    if (style == TViewStyle::Report) {
        setCurrentWidget(report_);
        return;
    }
    icons_->setFlow(style == TViewStyle::List ? QListView::TopToBottom : QListView::LeftToRight);
    if (style == TViewStyle::SmallIcon)
        icons_->setGridSize(QSize(SmallIconCellWidth, RowHeight(*icons_)));
    setCurrentWidget(icons_);
}

void TFileViewStack::FitColumnsToNewRows()
{
    const auto sinceLastFit = std::chrono::steady_clock::now() - lastFit_;
    if (sinceLastFit >= FitSpacing)
        FitColumns();
    else if (!gatheredFit_->isActive())
        gatheredFit_->start(std::chrono::ceil<std::chrono::milliseconds>(FitSpacing - sinceLastFit));
}

void TFileViewStack::FitColumns()
{
    gatheredFit_->stop();
    lastFit_ = std::chrono::steady_clock::now();
    if (style_ == TViewStyle::Report) {
        for (int column = 0; column < report_->model()->columnCount(); ++column)
            report_->resizeColumnToContents(column);
    } else if (style_ == TViewStyle::List) {
        const QFontMetrics metrics = icons_->fontMetrics();
        int widest = 0;
        for (const TFileRow& row : model_->Rows())
            widest = std::max(widest, metrics.horizontalAdvance(row.entry.name));
        icons_->setGridSize(QSize(widest + CaptionPadding, RowHeight(*icons_)));
    }
}
