#include "panes/LocalFileRow.h"

#include "panes/FileKinds.h"
#include "panes/PaneTime.h"

#include <QDateTime>

QString FileDateText(std::time_t time) {
    return QDateTime::fromSecsSinceEpoch(qint64(time)).toString(LocalTimePattern());
}

TLocalRowFactory::TLocalRowFactory(QStringList imageExtensions, QStringList textExtensions)
    : imageExtensions_(std::move(imageExtensions)), textExtensions_(std::move(textExtensions)) {}

TFileRow TLocalRowFactory::Row(const DirectoryEntry& entry) {
    // The date text shows minutes, so every time of one minute has the same text.
    const qint64 minute = qint64(entry.modified) - ((qint64(entry.modified) % 60) + 60) % 60;
    auto date = dates_.constFind(minute);
    if (date == dates_.constEnd()) date = dates_.insert(minute, FileDateText(std::time_t(minute)));
    auto attributes = attributes_.constFind(entry.attributes);
    if (attributes == attributes_.constEnd())
        attributes = attributes_.insert(entry.attributes, AttributeText(entry.attributes));
    TFileRow row;
    row.caption = QString::fromStdString(entry.name);
    row.subItems = {QString::number(entry.size), *date, *attributes,
                    entry.IsDirectory() ? QStringLiteral("0") : QStringLiteral("1")};
    row.icon = FileIconFor(row.caption, entry.IsDirectory(), imageExtensions_, textExtensions_);
    row.exactTime = qint64(entry.modified);
    return row;
}
