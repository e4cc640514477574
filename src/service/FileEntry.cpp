#include "service/FileEntry.h"

#include "platform/DateTime.h"

namespace {

std::int64_t Seconds(const TEntryTime& time)
{
    return std::chrono::floor<std::chrono::seconds>(time.point).time_since_epoch().count();
}

}  // namespace

std::optional<std::int64_t> ExactInstant(const TEntryTime& time)
{
    if (!time.utc || time.precision != TTimePrecision::Second)
        return std::nullopt;
    return Seconds(time);
}

std::optional<std::int64_t> InstantOf(const TEntryTime& time)
{
    if (!time.Known())
        return std::nullopt;
    return time.utc ? Seconds(time) : InstantOfLocalClock(Seconds(time));
}

std::int64_t LocalClockMilliseconds(const TEntryTime& time)
{
    return time.utc ? LocalClockOf(Seconds(time)) * 1000 : time.point.time_since_epoch().count();
}
