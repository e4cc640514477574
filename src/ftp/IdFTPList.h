#pragma once
#include "IdException.h"
#include "IdFTPListItemAllocator.h"
#include "IdFTPListLines.h"
#include "platform/DateTime.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum TIdDirItemType { ikDirectory = 0, ikFile = 1, ikSymLink = 2 };

// lfMlsd: RFC 3659 machine listings, never guessed from a line; the engine knows it asked for one.
enum TIdFTPListFormat { lfNone = 0, lfDos, lfUnix, lfDsk, lfNamesOnly, lfUnknown, lfCustom, lfMlsd };

// How finely a listed time is known: comparisons may not be finer than the coarser side.
enum TIdTimePrecision : std::uint8_t { tpUnknown, tpDay, tpMinute, tpSecond };

class EIdInvalidFTPListingFormat : public EIdException {
public:
    EIdInvalidFTPListingFormat() : EIdException("Unknown FTP listing format") {}
};

// Longer lines are never parsed: the control connection's own line limit.
constexpr std::size_t MaxListLineBytes = 16 * 1024;

// What a line parser found: views into the line, and the values.
struct TIdListLineFields {
    std::string_view name;
    std::string_view linkTarget;
    // Only Unix lines have these columns; without them the entry shows the defaults.
    bool hasUnixColumns = false;
    std::string_view permissions, owner, group;
    std::int64_t size = 0;
    TDateTime modified = 0;
    TIdTimePrecision precision = tpMinute;
    // The time is UTC (machine listings), not the server's unknown local clock.
    bool modifiedUtc = false;
    bool sizeKnown = true;
    TIdDirItemType kind = ikFile;
    int linkCount = 0;
    // Machine listings: the rights as mode bits (UNIX.mode, or the owner's from perm).
    int mode = -1;
    bool ownerModeOnly = false;
    std::string_view unique;
};

// One entry of a parsed directory listing. Its texts are views into the listing's bytes, which
// the collection holds; they stay valid as long as the collection (or a copy of it) lives.
class TIdFTPListItem {
public:
    TIdFTPListItem(std::string_view line, const TIdListLineFields& fields);

    std::int64_t Size = 0;
    TDateTime Modified = 0;
    TIdTimePrecision Precision = tpMinute;
    bool ModifiedUtc = false;
    // False when the listing gave no size (a machine listing without the size fact).
    bool SizeKnown = true;
    TIdDirItemType Kind = ikFile;
    int LinkCount = 0;

    std::string_view RawLine() const { return {line_, lineLength_}; }
    std::string_view Name() const { return Part(name_); }
    std::string_view LinkTarget() const { return Part(linkTarget_); }
    std::string_view Owner() const { return PartOr(owner_, "????????"); }
    std::string_view Group() const { return PartOr(group_, "????????"); }
    std::string_view OwnerRights() const { return Rights(1); }
    std::string_view GroupRights() const { return Rights(4); }
    std::string_view OtherRights() const { return Rights(7); }
    // The server's identity of the file (MLSD "unique"), empty when not given.
    std::string_view Unique() const { return Part(unique_); }

private:
    // A part of the line. Lines are at most 16 KiB, so 16 bits reach every position.
    struct Span {
        std::uint16_t offset = 0, length = 0;
    };
    static constexpr std::uint16_t Absent = 0xffff;

    Span SpanOf(std::string_view part) const;
    std::string_view Part(Span span) const { return {line_ + span.offset, span.length}; }
    std::string_view PartOr(Span span, std::string_view absent) const
    {
        return span.offset == Absent ? absent : Part(span);
    }
    std::string_view Rights(std::size_t from) const;

    const char* line_;
    std::uint16_t lineLength_;
    Span name_, linkTarget_, unique_, owner_{Absent, 0}, group_{Absent, 0}, permissions_{Absent, 0};
    std::int16_t mode_ = -1;
    bool ownerModeOnly_ = false;
};

// The entries of one listing, in the order the server sent them, and the lines that were
// skipped because they fit no known shape.
class TIdFTPListItems {
public:
    TIdFTPListFormat ListFormat = lfUnix;

    std::size_t Count() const { return items_.size(); }
    const TIdFTPListItem& Item(std::size_t index) const { return items_.at(index); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    void Clear();

    // Replaces the entries with the lines parsed by ListFormat; `today` gives the year of dates
    // without one. A line that cannot be parsed (or is longer than MaxListLineBytes) is skipped
    // and counted; blank lines are ignored. lfUnknown and lfCustom raise
    // EIdInvalidFTPListingFormat before taking any line.
    void LoadLines(const TIdListLines& lines);
    void LoadLines(const TIdListLines& lines, const TDateParts& today);
    // Entries made from fields rather than parsed, for protocols whose listings are attributes:
    // each entry's fields are views into its record, a part of `records` (at most
    // MaxListLineBytes long), which the collection keeps.
    using TRecordFields = std::pair<std::string_view, TIdListLineFields>;
    void LoadRecords(const TIdListLines& records, const std::vector<TRecordFields>& entries);

    std::size_t SkippedCount() const { return skippedCount_; }
    // The first skipped lines (at most MaxSkippedKept), for reporting.
    const std::vector<std::string_view>& FirstSkipped() const { return firstSkipped_; }
    static constexpr std::size_t MaxSkippedKept = 20;

private:
    void Skip(std::string_view line);

    TIdListLines lines_;
    std::vector<TIdFTPListItem, TIdFTPListItemAllocator<TIdFTPListItem>> items_;
    std::size_t skippedCount_ = 0;
    std::vector<std::string_view> firstSkipped_;
};

// The format of a whole listing, guessed from one line.
TIdFTPListFormat DetectListFormat(std::string_view line, bool details);

// A whole raw listing turned into entries. The format is taken from the first line of a known
// shape (lines before it are skipped); with none, EIdInvalidFTPListingFormat is raised and
// `into` stays empty.
void ParseListing(const TIdListLines& lines, TIdFTPListItems& into);
void ParseListing(const TIdListLines& lines, TIdFTPListItems& into, const TDateParts& today);

// The log lines that report the skipped lines of a listing: one per kept line, control
// characters escaped and long lines shortened, then one for the rest.
std::vector<std::string> SkippedLineReports(const TIdFTPListItems& items);
