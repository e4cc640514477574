#pragma once
#include "panes/FileRow.h"
#include "service/FileEntries.h"

#include <QHash>
#include <QStringList>

#include <ctime>

struct DirectoryEntry;

// "yyyy/mm/dd hh:nn" of a time in local time, with the locale's date and time separators.
QString FileDateText(std::time_t time);

// Makes the rows of one local listing. Rows of one minute share one time text, which keeps a
// 100,000-row directory small and skips most of the date formatting.
class TLocalRowFactory {
public:
    TLocalRowFactory(QStringList imageExtensions, QStringList textExtensions);
    TFileRow Row(const DirectoryEntry& found);

private:
    QStringList imageExtensions_;
    QStringList textExtensions_;
    TLocalEntryMaker entries_;
    QHash<qint64, QString> times_;
};
