#pragma once
#include "panes/FileRow.h"
#include "platform/DateTime.h"

#include <QHash>
#include <QStringList>

#include <string_view>

class TIdFTPListItem;
class TNameCodec;

// The time text of a listed entry: the short date alone at exactly midnight, the long time
// alone for a value without a date part (below one day), else both.
QString RemoteDateText(TDateTime value);
// Makes the rows of one listing. Equal date and rights texts share one string, which keeps a
// 100,000-entry directory small and skips most of the date formatting.
class TRemoteRowFactory {
public:
    TRemoteRowFactory(const TNameCodec& codec, QStringList imageExtensions, QStringList textExtensions);
    TFileRow Row(const TIdFTPListItem& item);

private:
    QString DateText(const TIdFTPListItem& item);

    const TNameCodec& codec_;
    QStringList imageExtensions_;
    QStringList textExtensions_;
    QHash<TDateTime, QString> dates_;
    QHash<QByteArray, QString> rights_;
    const QString directoryKey_ = QStringLiteral("0");
    const QString fileKey_ = QStringLiteral("1");
};
