#pragma once
#include <cstdint>
#include <ctime>
#include <stdexcept>

// Date-times as the program stores them: days since 1899-12-30, the fraction being the time of
// day. Local time throughout.
using TDateTime = double;

// An impossible date or time given to an encoding function.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TDateParts {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// Throws EConvertError for dates outside 1/1/1 to 9999/12/31 or days the month lacks.
TDateTime EncodeDate(int year, int month, int day);
// Throws EConvertError unless hour < 24, minute < 60, second < 60, millisecond < 1000.
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
TDateParts DecodeDateTime(TDateTime value);

// The local date and time to the millisecond. Unlike the toolkit's clock it does not look at
// the time-zone file again on every call, and a transfer asks several times per file.
TDateParts LocalNow();
TDateTime DateTimeFromTimeT(std::time_t t);
std::time_t TimeTFromDateTime(TDateTime value);

// A TDateTime that holds a UTC time (machine listings) and the seconds since the epoch it
// names, milliseconds cut off; and back.
std::int64_t UnixTimeOfUtc(TDateTime value);
TDateTime UtcDateTimeOf(std::int64_t unixTime);

// The milliseconds from 1970-01-01 00:00 to a TDateTime on the same clock, whichever clock that
// is (UTC, local, a server's own); and back.
std::int64_t UnixMillisecondsOf(TDateTime value);
TDateTime DateTimeOfUnixMilliseconds(std::int64_t milliseconds);

// An instant as the local clock reads it, in seconds from 1970-01-01 00:00 on that clock; and
// the instant a reading of the local clock names (in a repeated hour, as mktime picks).
std::int64_t LocalClockOf(std::int64_t unixTime);
std::int64_t InstantOfLocalClock(std::int64_t localSeconds);
