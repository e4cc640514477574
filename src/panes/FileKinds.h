#pragma once
#include "panes/FileRow.h"
#include "platform/ListFile.h"

#include <QString>
#include <QStringList>

// An extension list of the window as the icon tests take it.
QStringList ToQStringList(const StringList& list);
// Where ".exe" is tested: before the lists (local rows) or after them (remote rows, where a
// text extension list naming ".exe" wins).
enum class TProgramIconRank { BeforeLists, AfterLists };
// The icon of a row: folder, then picture and text by the lists, with ".exe" at its rank, else
// other; the lists hold extensions with their dot and are compared without regard to case.
TFileIcon FileIconFor(const QString& name, bool isFolder, const QStringList& imageExtensions,
                      const QStringList& textExtensions, TProgramIconRank programRank = TProgramIconRank::BeforeLists);
