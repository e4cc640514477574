#include "panes/FileListModel.h"

#include <QMimeData>

TFileListModel::TFileListModel(QObject* parent) : QAbstractTableModel(parent) {}

void TFileListModel::SetIcons(std::vector<QIcon> icons) {
    icons_ = std::move(icons);
    if (!rows_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

void TFileListModel::SetRows(std::vector<TFileRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void TFileListModel::Sort(TFileRowComparator comparator, int column) {
    emit layoutAboutToBeChanged();
    SortFileRows(rows_, comparator, column);
    emit layoutChanged();
}

int TFileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int TFileListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 4; }

QVariant TFileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= 4) return {};
    const TFileRow& row = rows_[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case 0: return row.entry.name;
        case 1: return QString::number(row.entry.size);
        case 2: return row.timeText;
        default: return row.entry.rights;
        }
    case Qt::DecorationRole:
        if (index.column() == 0 && size_t(row.icon) < icons_.size()) return icons_[size_t(row.icon)];
        return {};
    case Qt::TextAlignmentRole:
        return index.column() == 1 ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case FileIconIndexRole:
        return int(row.icon);
    default:
        return {};
    }
}

QVariant TFileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const captions[] = {"ファイル名", "サイズ", "更新日付", "属性"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= 4) return {};
    return QString::fromUtf8(captions[section]);
}

Qt::ItemFlags TFileListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && !dragFormat_.isEmpty()) flags |= Qt::ItemIsDragEnabled;
    return flags;
}

QStringList TFileListModel::mimeTypes() const { return {dragFormat_}; }

QMimeData* TFileListModel::mimeData(const QModelIndexList& indexes) const {
    // The receiving pane acts on the selection; the captions only make the drag readable.
    QStringList captions;
    for (const QModelIndex& index : indexes)
        if (index.column() == 0 && index.row() < rowCount()) captions << rows_[size_t(index.row())].entry.name;
    auto* data = new QMimeData;
    data->setData(dragFormat_, captions.join(u'\n').toUtf8());
    return data;
}
