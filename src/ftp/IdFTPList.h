#pragma once
#include "IdException.h"
#include "IdFTPListBuffer.h"
#include "platform/DateTime.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum TIdDirItemType { ikDirectory = 0, ikFile = 1, ikSymLink = 2 };

enum TIdFTPListFormat { lfNone = 0, lfDos, lfUnix, lfDsk, lfNamesOnly, lfUnknown, lfCustom };

class EIdInvalidFTPListingFormat : public EIdException {
public:
    EIdInvalidFTPListingFormat() : EIdException("Unknown FTP listing format") {}
};

// One entry of a parsed directory listing.
struct TIdFTPListItem {
    std::string RawLine;
    std::string Name;
    std::int64_t Size = 0;
    TDateTime Modified = 0;
    TIdDirItemType Kind = ikFile;
    int LinkCount = 0;
    std::string Owner = "????????";
    std::string Group = "????????";
    std::string OwnerRights = "???";
    std::string GroupRights = "???";
    std::string OtherRights = "???";
    std::string LinkTarget;
};

// The entries of one listing, in the order the server sent them.
class TIdFTPListItems {
public:
    TIdFTPListFormat ListFormat = lfUnix;

    std::size_t Count() const { return items_.size(); }
    const TIdFTPListItem& Item(std::size_t index) const { return items_.at(index); }
    TIdFTPListItem& Add() { return items_.emplace_back(); }
    void Clear() { items_.clear(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

    // Replaces the entries with the parsed lines (taken over as the entries' raw lines). A parse error (EIdInvalidFTPListingFormat,
    // EConvertError) stops the loading; the entries added so far stay. `today` gives the
    // defaults for missing year and day fields.
    void LoadLines(std::vector<std::string> lines);
    void LoadLines(std::vector<std::string> lines, const TDateParts& today);

private:
    std::vector<TIdFTPListItem, TIdFTPListBufferAllocator<TIdFTPListItem>> items_;
};

// The format of a whole listing, guessed from its first line.
TIdFTPListFormat DetectListFormat(std::string_view line, bool details);

// Parsing single lines, by format; `today` supplies the current year, month and day.
void ParseUnixLine(TIdFTPListItem& item, TIdFTPListFormat format, const TDateParts& today);
void ParseDosLine(TIdFTPListItem& item, const TDateParts& today);

// The DOS listing's date ("mm/dd/yy", any non-digit separator) and time ("03:37PM") fields.
TDateTime DosDate(std::string_view text, const TDateParts& today);
TDateTime DosTime(std::string_view text);

// A whole raw listing turned into entries, its format taken from the first line. Throws as
// LoadLines does; `into` then holds what was parsed before the error.
void ParseListing(std::vector<std::string> lines, TIdFTPListItems& into);
