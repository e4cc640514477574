#include "DateTime.h"

#include <cmath>

namespace {

// Days from 0001-01-01 to 1899-12-30.
constexpr std::int64_t EpochOffset = 693593;

std::int64_t DaysBeforeYear(int year)
{
    const std::int64_t y = year - 1;
    return y * 365 + y / 4 - y / 100 + y / 400;
}

TDateParts FromTm(const std::tm& tm)
{
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, 0};
}

}  // namespace

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

TDateTime EncodeDate(int year, int month, int day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        throw EConvertError("Invalid argument to date encode");
    std::int64_t days = DaysBeforeYear(year);
    for (int m = 1; m < month; ++m)
        days += DaysInMonth(year, m);
    days += day - 1;
    return static_cast<TDateTime>(days - EpochOffset);
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond)
{
    if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60
        || millisecond < 0 || millisecond >= 1000)
        throw EConvertError("Invalid argument to time encode");
    return (((hour * 60 + minute) * 60 + second) * 1000 + millisecond) / 86400000.0;
}

TDateParts DecodeDateTime(TDateTime value)
{
    TDateParts parts;
    std::int64_t days = static_cast<std::int64_t>(std::floor(value));
    std::int64_t ms = std::llround((value - static_cast<double>(days)) * 86400000.0);
    if (ms >= 86400000) {
        ms -= 86400000;
        ++days;
    }
    std::int64_t absolute = days + EpochOffset;  // days since 0001-01-01
    int year = static_cast<int>(absolute / 366) + 1;
    while (DaysBeforeYear(year + 1) <= absolute)
        ++year;
    absolute -= DaysBeforeYear(year);
    int month = 1;
    while (absolute >= DaysInMonth(year, month))
        absolute -= DaysInMonth(year, month++);
    parts.year = year;
    parts.month = month;
    parts.day = static_cast<int>(absolute) + 1;
    parts.hour = static_cast<int>(ms / 3600000);
    parts.minute = static_cast<int>(ms / 60000 % 60);
    parts.second = static_cast<int>(ms / 1000 % 60);
    parts.millisecond = static_cast<int>(ms % 1000);
    return parts;
}

TDateParts LocalNow()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm tm {};
    localtime_r(&now.tv_sec, &tm);
    TDateParts parts = FromTm(tm);
    parts.millisecond = static_cast<int>(now.tv_nsec / 1000000);
    return parts;
}

TDateTime DateTimeFromTimeT(std::time_t t)
{
    std::tm tm {};
    localtime_r(&t, &tm);
    const TDateParts p = FromTm(tm);
    return EncodeDate(p.year, p.month, p.day) + EncodeTime(p.hour, p.minute, p.second, 0);
}

std::time_t TimeTFromDateTime(TDateTime value)
{
    const TDateParts p = DecodeDateTime(value);
    std::tm tm {};
    tm.tm_year = p.year - 1900;
    tm.tm_mon = p.month - 1;
    tm.tm_mday = p.day;
    tm.tm_hour = p.hour;
    tm.tm_min = p.minute;
    tm.tm_sec = p.second;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

namespace {
constexpr std::int64_t EpochDay = 25569;  // 1970-01-01 in days since 1899-12-30
constexpr std::int64_t MsPerDay = 86400000;
}  // namespace

std::int64_t UnixMillisecondsOf(TDateTime value)
{
    return std::llround(value * MsPerDay) - EpochDay * MsPerDay;
}

TDateTime DateTimeOfUnixMilliseconds(std::int64_t milliseconds)
{
    return static_cast<TDateTime>(milliseconds + EpochDay * MsPerDay) / MsPerDay;
}

std::int64_t UnixTimeOfUtc(TDateTime value)
{
    const std::int64_t ms = UnixMillisecondsOf(value);
    return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}

TDateTime UtcDateTimeOf(std::int64_t unixTime)
{
    return DateTimeOfUnixMilliseconds(unixTime * 1000);
}

std::int64_t LocalClockOf(std::int64_t unixTime)
{
    const std::time_t instant = static_cast<std::time_t>(unixTime);
    std::tm tm {};
    localtime_r(&instant, &tm);
    return unixTime + tm.tm_gmtoff;
}

std::int64_t InstantOfLocalClock(std::int64_t localSeconds)
{
    const std::time_t reading = static_cast<std::time_t>(localSeconds);
    std::tm tm {};
    gmtime_r(&reading, &tm);
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}
