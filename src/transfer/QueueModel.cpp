#include "transfer/QueueModel.h"

#include <QLocale>

#include <algorithm>

int TQueueModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int TQueueModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString TQueueModel::StateText(TQueueState state)
{
    switch (state) {
    case TQueueState::Waiting:
        return QStringLiteral("待機中");
    case TQueueState::Running:
        return QStringLiteral("転送中");
    case TQueueState::Done:
        return QStringLiteral("完了");
    case TQueueState::Failed:
        return QStringLiteral("失敗");
    case TQueueState::Skipped:
        return QStringLiteral("スキップ");
    case TQueueState::Aborted:
        return QStringLiteral("中止");
    }
    return {};
}

QVariant TQueueModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(rows_.size()))
        return {};
    const TQueueRow& row = rows_[std::size_t(index.row())];
    if (role == Qt::TextAlignmentRole && (index.column() == Size || index.column() == Speed))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    // A path or a reason too long for its column is shown whole when the pointer rests on it.
    const bool longText = index.column() == LocalPath || index.column() == RemotePath || index.column() == Reason;
    if (role != Qt::DisplayRole && !(role == Qt::ToolTipRole && longText))
        return {};
    switch (index.column()) {
    case Direction:
        return row.file.upload ? QStringLiteral("→") : QStringLiteral("←");
    case LocalPath:
        return row.localPath;
    case RemotePath:
        return row.remotePath;
    case Size:
        return row.size < 0 ? QString() : QLocale().toString(qlonglong(row.size));
    case State:
        return StateText(row.state == TQueueState::Running && !row.Moving() ? TQueueState::Waiting : row.state);
    case Speed:
        return row.Moving() || row.state == TQueueState::Done
                   ? QStringLiteral("%1 KB/s").arg(row.speed, 0, 'f', 1)
                   : QString();
    case Reason:
        return row.reason;
    }
    return {};
}

QVariant TQueueModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QString captions[] = {QStringLiteral("方向"),  QStringLiteral("ローカル"), QStringLiteral("リモート"),
                                       QStringLiteral("サイズ"), QStringLiteral("状態"),     QStringLiteral("速度"),
                                       QStringLiteral("理由")};
    return section >= 0 && section < ColumnCount ? captions[section] : QVariant();
}

int TQueueModel::IndexOf(int id) const
{
    // Rows keep the order of their ids, which rise as rows are added.
    const auto found = std::lower_bound(rows_.begin(), rows_.end(), id,
                                        [](const TQueueRow& row, int wanted) { return row.id < wanted; });
    return found == rows_.end() || found->id != id ? -1 : int(found - rows_.begin());
}

TQueueRow* TQueueModel::Find(int id)
{
    const int index = IndexOf(id);
    return index < 0 ? nullptr : &rows_[std::size_t(index)];
}

TQueueRow* TQueueModel::At(int row)
{
    return row >= 0 && row < int(rows_.size()) ? &rows_[std::size_t(row)] : nullptr;
}

void TQueueModel::Append(TQueueRow row)
{
    beginInsertRows({}, int(rows_.size()), int(rows_.size()));
    rows_.push_back(std::move(row));
    endInsertRows();
}

void TQueueModel::Changed(int id)
{
    if (const int index = IndexOf(id); index >= 0)
        emit dataChanged(this->index(index, 0), this->index(index, ColumnCount - 1));
}

void TQueueModel::RemoveFinished()
{
    beginResetModel();
    std::erase_if(rows_, [](const TQueueRow& row) { return row.Finished(); });
    endResetModel();
}
