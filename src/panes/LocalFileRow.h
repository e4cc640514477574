#pragma once
#include "panes/FileRow.h"
#include "platform/DirectoryScan.h"

#include <QStringList>

#include <ctime>

// "yyyy/mm/dd hh:nn" of a time in local time, with the locale's date and time separators.
QString FileDateText(std::time_t time);

// The row of a local directory entry.
TFileRow LocalFileRow(const DirectoryEntry& entry, const QStringList& imageExtensions,
                      const QStringList& textExtensions);
