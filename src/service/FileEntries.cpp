#include "service/FileEntries.h"

#include "ftp/IdFTPList.h"
#include "platform/DirectoryScan.h"
#include "service/RemoteNames.h"

#include <utility>

namespace {

// Attribute bits of a local entry, as the attribute text names them.
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
QString AttributeText(unsigned attributes)
{
    static const std::pair<unsigned, const char*> words[] = {
        {faArchive, "ｱｰｶｲﾌﾞ "},  {faCompressed, "圧縮 "},  {faDirectory, "<DIR> "},   {faNormal, "通常ファイル "},
        {faHidden, "隠しファイル "}, {faReadOnly, "読取専用 "}, {faSysFile, "ｼｽﾃﾑ "}, {faTemporary, "ﾃﾝﾎﾟﾗﾘ "},
    };
    QString text;
    for (const auto& [bit, word] : words)
        if (attributes & bit)
            text += QString::fromUtf8(word);
    return text;
}

TEntryKind KindOf(TIdDirItemType type)
{
    switch (type) {
    case ikDirectory: return TEntryKind::Folder;
    case ikSymLink: return TEntryKind::Link;
    case ikFile: break;
    }
    return TEntryKind::File;
}

TTimePrecision PrecisionOf(TIdTimePrecision precision)
{
    switch (precision) {
    case tpDay: return TTimePrecision::Day;
    case tpMinute: return TTimePrecision::Minute;
    case tpSecond: return TTimePrecision::Second;
    case tpUnknown: break;
    }
    return TTimePrecision::Unknown;
}

QByteArray Bytes(std::string_view text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}

}  // namespace

TListedEntryMaker::TListedEntryMaker(const TNameCodec& codec) : codec_(codec) {}

TFileEntry TListedEntryMaker::Entry(const TIdFTPListItem& item)
{
    const std::string_view rightsBytes = item.OwnerRights();
    const QByteArray rightsKey = QByteArray::fromRawData(rightsBytes.data(), qsizetype(rightsBytes.size()));
    auto rights = rights_.constFind(rightsKey);
    if (rights == rights_.constEnd())
        rights = rights_.insert(QByteArray(rightsKey), ShownName(codec_, rightsBytes));
    return {.nameBytes = Bytes(item.Name()),
            .name = ShownName(codec_, item.Name()),
            .size = item.Size,
            .sizeKnown = item.SizeKnown,
            .kind = KindOf(item.Kind),
            .modified = {.point = TEntryTime::TPoint(std::chrono::milliseconds(UnixMillisecondsOf(item.Modified))),
                         .precision = PrecisionOf(item.Precision),
                         .utc = item.ModifiedUtc},
            .rights = *rights,
            .linkTarget = Bytes(item.LinkTarget())};
}

TFileEntry TLocalEntryMaker::Entry(const DirectoryEntry& found)
{
    auto attributes = attributes_.constFind(found.attributes);
    if (attributes == attributes_.constEnd())
        attributes = attributes_.insert(found.attributes, AttributeText(found.attributes));
    const TEntryKind kind = found.IsDirectory()              ? TEntryKind::Folder
                            : found.dangling                 ? TEntryKind::Link
                            : found.attributes & faSysFile ? TEntryKind::Other
                                                             : TEntryKind::File;
    return {.nameBytes = {},
            .name = QString::fromStdString(found.name),
            .size = found.size,
            .sizeKnown = true,
            .kind = kind,
            .modified = {.point = TEntryTime::TPoint(std::chrono::seconds(found.modified)),
                         .precision = TTimePrecision::Second,
                         .utc = true},
            .rights = *attributes,
            .linkTarget = QByteArray::fromStdString(found.linkTarget)};
}
