#pragma once
#include <QByteArray>
#include <QString>

#include <chrono>
#include <cstdint>
#include <optional>

// How finely a modification time is known: comparisons may not be finer than the coarser side.
enum class TTimePrecision : std::uint8_t { Unknown, Day, Minute, Second };

enum class TEntryKind : std::uint8_t { File, Folder, Link, Other };

// A modification time as a point on a clock.
struct TEntryTime {
    using TPoint = std::chrono::sys_time<std::chrono::milliseconds>;
    // From 1970-01-01 00:00 UTC where utc is set (machine listings, local files); else on the
    // listing's own clock, whose zone is unknown and which reads as the local clock.
    TPoint point = {};
    TTimePrecision precision = TTimePrecision::Unknown;
    bool utc = false;

    bool Known() const { return precision != TTimePrecision::Unknown; }
};

// The instant a time names to the second, where it is one: a UTC time known to the second.
std::optional<std::int64_t> ExactInstant(const TEntryTime& time);
// The instant a time names, milliseconds cut off: a time on the listing's own clock is read on
// the local clock. None for an unknown time.
std::optional<std::int64_t> InstantOf(const TEntryTime& time);
// The time as the local clock reads it, in milliseconds from 1970-01-01 00:00 on that clock: a
// UTC time converted (to the second), a listing's own clock as it is.
std::int64_t LocalClockMilliseconds(const TEntryTime& time);

// One file, folder or link of a directory, local or remote.
struct TFileEntry {
    // Remote entries: the name's bytes as the server listed them, which every command on the
    // entry sends. Local entries leave them empty.
    QByteArray nameBytes = {};
    // The name as the user sees it.
    QString name = {};
    std::int64_t size = 0;
    // False where the listing gave no size; the size is then 0.
    bool sizeKnown = false;
    TEntryKind kind = TEntryKind::File;
    TEntryTime modified = {};
    // The rights text of a remote entry (the owner's), the attribute text of a local one.
    QString rights = {};
    // Links: what the link holds.
    QByteArray linkTarget = {};

    bool IsFolder() const { return kind == TEntryKind::Folder; }
};
