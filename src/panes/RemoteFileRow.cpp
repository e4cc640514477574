#include "panes/RemoteFileRow.h"

#include "panes/FileKinds.h"
#include "panes/PaneTime.h"

#include <QDateTime>

#include <cmath>

namespace {

QDateTime DateTimeOf(TDateTime value)
{
    const TDateParts parts = DecodeDateTime(value);
    return QDateTime(QDate(parts.year, parts.month, parts.day),
                     QTime(parts.hour, parts.minute, parts.second, parts.millisecond));
}

}  // namespace

QString RemoteDateText(TDateTime value)
{
    const QString& dateFormat = RemoteDateFormat();
    const QString& timeFormat = RemoteTimeFormat();
    const QDateTime moment = DateTimeOf(value);
    if (value >= 0 && value < 1)
        return moment.time().toString(timeFormat);
    if (value == std::floor(value))
        return moment.date().toString(dateFormat);
    return moment.date().toString(dateFormat) + u' ' + moment.time().toString(timeFormat);
}

TRemoteRowFactory::TRemoteRowFactory(const TNameCodec& codec, QStringList imageExtensions, QStringList textExtensions)
    : imageExtensions_(std::move(imageExtensions)), textExtensions_(std::move(textExtensions)), entries_(codec)
{
}

QString TRemoteRowFactory::TimeText(const TEntryTime& time)
{
    if (!time.Known())
        return {};
    const std::pair<qint64, bool> key(time.point.time_since_epoch().count(), time.utc);
    auto text = times_.constFind(key);
    if (text == times_.constEnd())
        // A UTC time reads in local time, as the local pane's do.
        text = times_.insert(key, RemoteDateText(DateTimeOfUnixMilliseconds(LocalClockMilliseconds(time))));
    return *text;
}

TFileRow TRemoteRowFactory::Row(const TIdFTPListItem& item)
{
    TFileEntry entry = entries_.Entry(item);
    QString timeText = TimeText(entry.modified);
    const TFileIcon icon =
        FileIconFor(entry.name, entry.IsFolder(), imageExtensions_, textExtensions_, TProgramIconRank::AfterLists);
    return {.entry = std::move(entry), .timeText = std::move(timeText), .icon = icon};
}
