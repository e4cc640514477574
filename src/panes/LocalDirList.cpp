#include "panes/LocalDirList.h"

#include "panes/FileImageList.h"
#include "platform/DirectoryScan.h"
#include "service/LocalPaths.h"

#include <QFile>
#include <QIcon>
#include <QListWidget>
#include <QStringList>
#include <QStyledItemDelegate>

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int DepthRole = Qt::UserRole + 1;
constexpr int IndentPixels = 12;

// Draws each entry indented by its depth, icon and all.
class TIndentingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem indented = option;
        indented.rect.setLeft(option.rect.left() + IndentPixels * index.data(DepthRole).toInt());
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(IndentPixels * index.data(DepthRole).toInt(), 0);
    }
};

QListWidgetItem* AddEntry(QListWidget& list, const QString& caption, const QString& path, int depth,
                          const QIcon& icon)
{
    auto* item = new QListWidgetItem(icon, caption, &list);
    item->setData(PathRole, path);
    item->setData(DepthRole, depth);
    return item;
}

}  // namespace

void PrepareDirectoryList(QListWidget& list)
{
    list.setItemDelegate(new TIndentingDelegate(&list));
}

void ShowDirectoryChain(QListWidget& list, const QString& directory)
{
    static const QIcon open = ThemedIcon("folder-open", QStyle::SP_DirOpenIcon);
    static const QIcon closed = ThemedIcon("folder", QStyle::SP_DirClosedIcon);
    list.setUpdatesEnabled(false);
    list.clear();
    QString path = QStringLiteral("/");
    QListWidgetItem* current = AddEntry(list, path, path, 0, open);
    int depth = 0;
    for (const QString& step : directory.split(u'/', Qt::SkipEmptyParts)) {
        path = LocalEntryPath(path, step);
        current = AddEntry(list, step, path, ++depth, open);
    }
    for (const std::string& name : SubdirectoryNames(QFile::encodeName(path).toStdString())) {
        const QString decoded = QFile::decodeName(QByteArray::fromStdString(name));
        AddEntry(list, decoded, LocalEntryPath(path, decoded), depth + 1, closed);
    }
    list.setCurrentItem(current);
    list.setUpdatesEnabled(true);
}

QString EntryDirectory(const QListWidgetItem& item)
{
    return item.data(PathRole).toString();
}
