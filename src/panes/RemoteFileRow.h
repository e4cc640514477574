#pragma once
#include "panes/FileRow.h"
#include "platform/DateTime.h"
#include "service/FileEntries.h"

#include <QHash>
#include <QStringList>

#include <utility>

class TIdFTPListItem;
class TNameCodec;

// The time text of a listed entry: the short date alone at exactly midnight, the long time
// alone for a value without a date part (below one day), else both.
QString RemoteDateText(TDateTime value);
// Makes the rows of one listing. Equal times share one text, which keeps a 100,000-entry
// directory small and skips most of the date formatting.
class TRemoteRowFactory {
public:
    TRemoteRowFactory(const TNameCodec& codec, QStringList imageExtensions, QStringList textExtensions);
    TFileRow Row(const TIdFTPListItem& item);

private:
    QString TimeText(const TEntryTime& time);

    QStringList imageExtensions_;
    QStringList textExtensions_;
    TListedEntryMaker entries_;
    QHash<std::pair<qint64, bool>, QString> times_;
};
