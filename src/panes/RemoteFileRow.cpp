#include "panes/RemoteFileRow.h"

#include "ftp/IdFTPList.h"
#include "panes/FileKinds.h"
#include "panes/PaneTime.h"
#include "service/RemoteNames.h"

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
    : codec_(codec), imageExtensions_(std::move(imageExtensions)), textExtensions_(std::move(textExtensions))
{
}

QString TRemoteRowFactory::DateText(const TIdFTPListItem& item)
{
    if (item.Precision == tpUnknown)
        return {};
    auto date = dates_.constFind(item.Modified);
    if (date == dates_.constEnd())
        // A UTC time reads in local time, as the local pane's do.
        date = dates_.insert(item.Modified, RemoteDateText(item.ModifiedUtc
                                                               ? DateTimeFromTimeT(std::time_t(UnixTimeOfUtc(item.Modified)))
                                                               : item.Modified));
    return *date;
}

TFileRow TRemoteRowFactory::Row(const TIdFTPListItem& item)
{
    const std::string_view rightsBytes = item.OwnerRights();
    const QByteArray rightsKey = QByteArray::fromRawData(rightsBytes.data(), qsizetype(rightsBytes.size()));
    auto rights = rights_.constFind(rightsKey);
    if (rights == rights_.constEnd())
        rights = rights_.insert(QByteArray(rightsKey), ShownName(codec_, rightsBytes));
    const bool directory = item.Kind == ikDirectory;
    TFileRow row;
    row.nameBytes = QByteArray(item.Name().data(), qsizetype(item.Name().size()));
    row.caption = ShownName(codec_, item.Name());
    row.subItems = {QString::number(qint64(item.Size)), DateText(item), *rights, directory ? directoryKey_ : fileKey_};
    if (item.ModifiedUtc && item.Precision == tpSecond)
        row.exactTime = UnixTimeOfUtc(item.Modified);
    if (item.SizeKnown)
        row.listedSize = item.Size;
    row.icon = FileIconFor(row.caption, directory, imageExtensions_, textExtensions_, TProgramIconRank::AfterLists);
    return row;
}
