#pragma once
#include "panes/FileRow.h"

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

// The words of the set bits, each followed by a blank, in a fixed order.
QString AttributeText(unsigned attributes);
// The lower-cased text from the last "." after the last "\" or ":"; empty without one.
QString FileExtension(const QString& name);
// The icon of a row: folder, ".exe", picture, text, other, tested in that order; the lists
// hold extensions with their dot and are compared without regard to case.
TFileIcon FileIconFor(const QString& name, bool isFolder, const QStringList& imageExtensions,
                      const QStringList& textExtensions);
