#include "panes/LocalDirList.h"

#include "platform/DirectoryScan.h"

#include <QFile>
#include <QIcon>
#include <QListWidget>
#include <QStringList>

namespace {

constexpr int PathRole = Qt::UserRole;

QListWidgetItem* AddEntry(QListWidget& list, const QString& caption, const QString& path, int depth,
                          const QIcon& icon)
{
    auto* item = new QListWidgetItem(icon, QString(depth * 2, u' ') + caption, &list);
    item->setData(PathRole, path);
    return item;
}

QString Child(const QString& parent, const QString& name)
{
    return parent.endsWith(u'/') ? parent + name : parent + u'/' + name;
}

}  // namespace

void ShowDirectoryChain(QListWidget& list, const QString& directory)
{
    static const QIcon open = QIcon::fromTheme(QStringLiteral("folder-open"));
    static const QIcon closed = QIcon::fromTheme(QStringLiteral("folder"));
    list.setUpdatesEnabled(false);
    list.clear();
    QString path = QStringLiteral("/");
    QListWidgetItem* current = AddEntry(list, path, path, 0, open);
    int depth = 0;
    for (const QString& step : directory.split(u'/', Qt::SkipEmptyParts)) {
        path = Child(path, step);
        current = AddEntry(list, step, path, ++depth, open);
    }
    for (const std::string& name : SubdirectoryNames(QFile::encodeName(path).toStdString())) {
        const QString decoded = QFile::decodeName(QByteArray::fromStdString(name));
        AddEntry(list, decoded, Child(path, decoded), depth + 1, closed);
    }
    list.setCurrentItem(current);
    list.setUpdatesEnabled(true);
}

QString EntryDirectory(const QListWidgetItem& item)
{
    return item.data(PathRole).toString();
}
