#pragma once
#include "panes/FileRow.h"
#include "panes/FileSort.h"

#include <QAbstractTableModel>
#include <QIcon>

#include <vector>

// The rows of one file list view: name, size, time and attribute (rights) columns.
class TFileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The icon index of a row (0 folder ... 4 picture), under this role of every column.
    static constexpr int FileIconIndexRole = Qt::UserRole + 1;

    explicit TFileListModel(QObject* parent = nullptr);

    // The five icons of FileImageList, by index.
    void SetIcons(std::vector<QIcon> icons);
    void SetRows(std::vector<TFileRow> rows);
    const std::vector<TFileRow>& Rows() const { return rows_; }
    const TFileRow& Row(int index) const { return rows_.at(size_t(index)); }
    void Sort(TFileRowComparator comparator, int column);
    // The MIME format of rows dragged out of this list: a drop target tells the lists apart by it.
    void SetDragFormat(const QString& format) { dragFormat_ = format; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;

private:
    std::vector<TFileRow> rows_;
    std::vector<QIcon> icons_;
    QString dragFormat_;
};
