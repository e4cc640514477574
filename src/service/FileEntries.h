#pragma once
#include "service/FileEntry.h"

#include <QHash>

struct DirectoryEntry;
class TIdFTPListItem;
class TNameCodec;

// Makes the entries of one listing from the engine's parsed items (FTP LIST and MLSD, SFTP).
// Equal rights texts share one string, which keeps a 100,000-entry directory small.
class TListedEntryMaker {
public:
    explicit TListedEntryMaker(const TNameCodec& codec);
    TFileEntry Entry(const TIdFTPListItem& item);

private:
    const TNameCodec& codec_;
    QHash<QByteArray, QString> rights_;
};

// Makes the entries of one local directory scan. Equal attribute texts share one string.
class TLocalEntryMaker {
public:
    TFileEntry Entry(const DirectoryEntry& found);

private:
    QHash<unsigned, QString> attributes_;
};
