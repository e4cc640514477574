#include "transfer/QueueView.h"

#include "transfer/TransferQueue.h"

#include <QHeaderView>
#include <QAction>
#include <QMenu>

#include <algorithm>
#include <functional>
#include <utility>

TQueueView::TQueueView(TTransferQueue& queue, QWidget* parent) : QTreeView(parent), queue_(queue)
{
    setObjectName(QStringLiteral("QueueView"));
    setModel(&queue.Model());
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setContextMenuPolicy(Qt::CustomContextMenu);
    header()->setStretchLastSection(true);
    // A path keeps its file name in sight when it is cut.
    setTextElideMode(Qt::ElideMiddle);
    for (const auto& [column, width] : {std::pair{TQueueModel::Direction, 40}, {TQueueModel::LocalPath, 300},
                                        {TQueueModel::RemotePath, 300}, {TQueueModel::Size, 100},
                                        {TQueueModel::State, 60}, {TQueueModel::Speed, 110}})
        header()->resizeSection(column, width);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) { ShowMenu(position); });
}

void TQueueView::ShowMenu(const QPoint& position)
{
    // The selected rows that have not finished.
    QList<int> ids;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        if (const TQueueRow* row = queue_.Model().At(index.row()); row && !row->Finished())
            ids << row->id;
    QMenu menu(this);
    QAction* abortRows = menu.addAction(QStringLiteral("この転送を中止"));
    abortRows->setEnabled(!ids.isEmpty());
    connect(abortRows, &QAction::triggered, this, [this, ids] {
        for (int id : ids)
            queue_.AbortRow(id);
    });
    const std::vector<TQueueRow>& rows = queue_.Model().Rows();
    const auto any = [&rows](auto holds) { return std::any_of(rows.begin(), rows.end(), holds); };
    QAction* abortAll = menu.addAction(QStringLiteral("すべて中止"));
    abortAll->setEnabled(any([](const TQueueRow& row) { return !row.Finished(); }));
    connect(abortAll, &QAction::triggered, this, [this] { queue_.AbortAll(); });
    QAction* retry = menu.addAction(QStringLiteral("失敗した転送を再試行"));
    retry->setEnabled(any(&TTransferQueue::Retryable));
    connect(retry, &QAction::triggered, this, [this] { queue_.RetryFailed(); });
    QAction* remove = menu.addAction(QStringLiteral("終了した行を削除"));
    remove->setEnabled(any(std::mem_fn(&TQueueRow::Finished)));
    connect(remove, &QAction::triggered, this, [this] { queue_.RemoveFinished(); });
    menu.exec(viewport()->mapToGlobal(position));
}
