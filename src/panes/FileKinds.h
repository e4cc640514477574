#pragma once
#include "panes/FileRow.h"
#include "platform/ListFile.h"

#include <QString>
#include <QStringList>

// Attribute bits of a directory entry, as the attribute text names them.
enum TFileAttribute : unsigned {
    faReadOnly = 0x1,
    faHidden = 0x2,
    faSysFile = 0x4,
    faDirectory = 0x10,
    faArchive = 0x20,
    faNormal = 0x80,
    faTemporary = 0x100,
    faCompressed = 0x800,
};

// An extension list of the window as the icon tests take it.
QStringList ToQStringList(const StringList& list);
// The words of the set bits, each followed by a blank, in a fixed order.
QString AttributeText(unsigned attributes);
// Where ".exe" is tested: before the lists (local rows) or after them (remote rows, where a
// text extension list naming ".exe" wins).
enum class TProgramIconRank { BeforeLists, AfterLists };
// The icon of a row: folder, then picture and text by the lists, with ".exe" at its rank, else
// other; the lists hold extensions with their dot and are compared without regard to case.
TFileIcon FileIconFor(const QString& name, bool isFolder, const QStringList& imageExtensions,
                      const QStringList& textExtensions, TProgramIconRank programRank = TProgramIconRank::BeforeLists);
