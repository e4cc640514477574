#pragma once
#include <QTreeView>

class TTransferQueue;

// The queue tab: one row per file, with the commands of its context menu.
class TQueueView : public QTreeView {
public:
    TQueueView(TTransferQueue& queue, QWidget* parent = nullptr);

private:
    void ShowMenu(const QPoint& position);

    TTransferQueue& queue_;
};
