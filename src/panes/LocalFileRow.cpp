#include "panes/LocalFileRow.h"

#include "panes/FileKinds.h"
#include "panes/PaneTime.h"

#include <QDateTime>

QString FileDateText(std::time_t time) {
    return QDateTime::fromSecsSinceEpoch(qint64(time)).toString(LocalTimePattern());
}

TLocalRowFactory::TLocalRowFactory(QStringList imageExtensions, QStringList textExtensions)
    : imageExtensions_(std::move(imageExtensions)), textExtensions_(std::move(textExtensions)) {}

TFileRow TLocalRowFactory::Row(const DirectoryEntry& found) {
    TFileEntry entry = entries_.Entry(found);
    const qint64 minute = std::chrono::floor<std::chrono::minutes>(entry.modified.point).time_since_epoch() /
                          std::chrono::seconds(1);
    auto time = times_.constFind(minute);
    if (time == times_.constEnd()) time = times_.insert(minute, FileDateText(std::time_t(minute)));
    const TFileIcon icon = FileIconFor(entry.name, entry.IsFolder(), imageExtensions_, textExtensions_);
    return {.entry = std::move(entry), .timeText = *time, .icon = icon};
}
