#pragma once
#include "panes/FileRow.h"
#include "platform/DirectoryScan.h"

#include <QHash>
#include <QStringList>

#include <ctime>

// "yyyy/mm/dd hh:nn" of a time in local time, with the locale's date and time separators.
QString FileDateText(std::time_t time);

// Makes the rows of one listing. Rows with equal date or attribute texts share one string, which
// keeps a 100,000-row directory small and skips most of the date formatting.
class TLocalRowFactory {
public:
    TLocalRowFactory(QStringList imageExtensions, QStringList textExtensions);
    TFileRow Row(const DirectoryEntry& entry);

private:
    QStringList imageExtensions_;
    QStringList textExtensions_;
    QHash<qint64, QString> dates_;
    QHash<unsigned, QString> attributes_;
};
