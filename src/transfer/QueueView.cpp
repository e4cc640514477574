#include "transfer/QueueView.h"

#include "transfer/TransferQueue.h"

#include <QHeaderView>
#include <QMenu>

TQueueView::TQueueView(TTransferQueue& queue, QWidget* parent) : QTreeView(parent), queue_(queue)
{
    setObjectName(QStringLiteral("QueueView"));
    setModel(&queue.Model());
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setContextMenuPolicy(Qt::CustomContextMenu);
    header()->setStretchLastSection(true);
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
    connect(menu.addAction(QStringLiteral("すべて中止")), &QAction::triggered, this, [this] { queue_.AbortAll(); });
    connect(menu.addAction(QStringLiteral("失敗した転送を再試行")), &QAction::triggered, this,
            [this] { queue_.RetryFailed(); });
    connect(menu.addAction(QStringLiteral("終了した行を削除")), &QAction::triggered, this,
            [this] { queue_.RemoveFinished(); });
    menu.exec(viewport()->mapToGlobal(position));
}
