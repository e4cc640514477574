// Unix-style listing lines ("ls -l" and the many servers that imitate it). The line is read by
// anchoring on its date columns: the column before them is the size, the first column the type
// and permissions, the second the link count, and whatever lies between the link count and the
// size is owner and group, blanks included ("Domain Users").
#include "IdFTPListParse.h"

#include <array>

namespace {

using namespace listing;

// Lines whose date lies further right are not of this shape.
constexpr std::size_t MaxColumns = 64;

// A column of the line. Unlike a std::string_view it is left unset when declared: an array of
// them is declared for every line, and zeroing it cost more than reading the line.
struct Column {
    const char* begin;
    std::size_t length;

    operator std::string_view() const { return {begin, length}; }
    std::size_t size() const { return length; }
    char operator[](std::size_t at) const { return begin[at]; }
    char back() const { return begin[length - 1]; }
    std::string_view substr(std::size_t from, std::size_t count = std::string_view::npos) const
    {
        return std::string_view(*this).substr(from, count);
    }
};

bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsPermissionCharacter(char c)
{
    switch (Upper(c)) {
    case '-': case 'R': case 'W': case 'X': case 'S': case 'T': case 'L': case 'A': case 'H': case 'Y': return true;
    default: return false;
    }
}

// The first column: a type letter (any, "-" for a file) and six to nine permission characters,
// optionally followed by one of the access-control markers "+", "." or "@".
bool IsPermissionColumn(std::string_view column)
{
    if (column.size() < 7 || column.size() > 11 || (column[0] != '-' && !IsLetter(column[0])))
        return false;
    std::string_view rights = column.substr(1);
    if (rights.size() > 6 && (rights.back() == '+' || rights.back() == '.' || rights.back() == '@'))
        rights.remove_suffix(1);
    if (rights.size() > 9)
        return false;
    for (char c : rights)
        if (!IsPermissionCharacter(c))
            return false;
    return true;
}

int MonthOfName(std::string_view column)
{
    if (column.size() != 3)
        return 0;
    const auto key = [](char a, char b, char c) { return (Upper(a) << 16) | (Upper(b) << 8) | Upper(c); };
    static constexpr int months[12] = {
        ('J' << 16) | ('A' << 8) | 'N', ('F' << 16) | ('E' << 8) | 'B', ('M' << 16) | ('A' << 8) | 'R',
        ('A' << 16) | ('P' << 8) | 'R', ('M' << 16) | ('A' << 8) | 'Y', ('J' << 16) | ('U' << 8) | 'N',
        ('J' << 16) | ('U' << 8) | 'L', ('A' << 16) | ('U' << 8) | 'G', ('S' << 16) | ('E' << 8) | 'P',
        ('O' << 16) | ('C' << 8) | 'T', ('N' << 16) | ('O' << 8) | 'V', ('D' << 16) | ('E' << 8) | 'C'};
    const int wanted = key(column[0], column[1], column[2]);
    for (int m = 0; m < 12; ++m)
        if (months[m] == wanted)
            return m + 1;
    return 0;
}

// The unit characters of Japanese dates, in UTF-8, Shift_JIS and EUC-JP.
using Units = std::array<std::string_view, 3>;
constexpr Units MonthUnit = {"\xE6\x9C\x88", "\x8C\x8E", "\xB7\xEE"};
constexpr Units DayUnit = {"\xE6\x97\xA5", "\x93\xFA", "\xC6\xFC"};
constexpr Units YearUnit = {"\xE5\xB9\xB4", "\x94\x4E", "\xC7\xAF"};

// The column without its unit character; `required` says whether it must carry one.
bool WithoutUnit(std::string_view column, const Units& units, bool required, std::string_view& number)
{
    for (std::string_view unit : units)
        if (column.size() > unit.size() && column.substr(column.size() - unit.size()) == unit) {
            number = column.substr(0, column.size() - unit.size());
            return true;
        }
    number = column;
    return !required;
}

struct DateColumns {
    int year = 0;  // 0: the listing gives none
    int month = 0, day = 0;
    int hour = 0, minute = 0, second = -1, millisecond = 0;
    std::size_t columns = 0;
};

bool Year(std::string_view text, int& year)
{
    return text.size() == 4 && SmallNumber(text, 4, year) && year > 0;
}

// "Mar 3 15:13", "Mar 3 2003", and "Mar 3 15:13:22 2003" as BSD's ls -T writes it.
bool MonthNameDate(const Column* c, std::size_t available, DateColumns& date)
{
    if (available < 3 || (date.month = MonthOfName(c[0])) == 0 || !SmallNumber(c[1], 2, date.day))
        return false;
    date.columns = 3;
    if (!ClockTime(c[2], date.hour, date.minute, date.second, date.millisecond))
        return Year(c[2], date.year);
    if (date.second < 0)
        return true;
    date.columns = 4;
    return available >= 4 && Year(c[3], date.year);
}

// "3月  2日 15:13" and "3月  2日  2003年" as servers in a Japanese locale write them.
bool JapaneseDate(const Column* c, std::size_t available, DateColumns& date)
{
    std::string_view month, day, year;
    // The units are multibyte characters: a column ending in a plain character is no month.
    if (available < 3 || !IsDigit(c[0][0]) || static_cast<unsigned char>(c[0].back()) < 0x80
        || !WithoutUnit(c[0], MonthUnit, true, month) || !SmallNumber(month, 2, date.month)
        || !WithoutUnit(c[1], DayUnit, false, day) || !SmallNumber(day, 2, date.day))
        return false;
    date.columns = 3;
    if (ClockTime(c[2], date.hour, date.minute, date.second, date.millisecond))
        return date.second < 0;
    return WithoutUnit(c[2], YearUnit, false, year) && Year(year, date.year);
}

bool IsZoneOffset(std::string_view text)
{
    int value = 0;
    return text.size() == 5 && (text[0] == '+' || text[0] == '-') && SmallNumber(text.substr(1), 4, value);
}

// "2005-04-08 11:22" (long-iso) and "2005-04-08 11:22:33.123456789 +0200" (full-iso; the
// offset is passed over, as the other forms show the server's clock too).
bool IsoDate(const Column* c, std::size_t available, DateColumns& date)
{
    if (available < 2 || c[0].size() != 10 || c[0][4] != '-' || c[0][7] != '-'
        || !Year(c[0].substr(0, 4), date.year) || !SmallNumber(c[0].substr(5, 2), 2, date.month)
        || !SmallNumber(c[0].substr(8, 2), 2, date.day)
        || !ClockTime(c[1], date.hour, date.minute, date.second, date.millisecond))
        return false;
    date.columns = available >= 3 && date.second >= 0 && IsZoneOffset(c[2]) ? 3 : 2;
    return true;
}

// The date columns starting at `c`, in any of the forms; each form starts from nothing.
bool DateAt(const Column* c, std::size_t available, DateColumns& date)
{
    for (const auto form : {MonthNameDate, JapaneseDate, IsoDate}) {
        date = DateColumns();
        if (form(c, available, date))
            return true;
    }
    return false;
}

// A date without a year lies in the past: later than tomorrow (a day of slack for time zones)
// means last year.
int YearOfUndatedDay(int month, int day, const TDateParts& today)
{
    int tomorrowMonth = today.month, tomorrowDay = today.day + 1;
    if (tomorrowDay > DaysInMonth(today.year, today.month)) {
        if (today.month == 12)
            return today.year;  // tomorrow is in the next year: every day of this one is past
        ++tomorrowMonth;
        tomorrowDay = 1;
    }
    const bool later = month > tomorrowMonth || (month == tomorrowMonth && day > tomorrowDay);
    return later ? today.year - 1 : today.year;
}

// The column before the date: a size, or a device's major and minor numbers ("1, 3" as two
// columns or "109,767" as one), which give no size. Tells how many columns it takes.
std::size_t SizeColumns(const Column* c, std::size_t before, std::int64_t& size)
{
    if (before == 0)
        return 0;
    const std::string_view last = c[before - 1];
    int number = 0;
    size = 0;
    const auto comma = last.find(',');
    if (comma != std::string_view::npos) {
        return comma > 0 && comma + 1 < last.size() && SmallNumber(last.substr(0, comma), 9, number)
                && SmallNumber(last.substr(comma + 1), 9, number)
            ? 1
            : 0;
    }
    if (before >= 2 && c[before - 2].size() > 1 && c[before - 2].back() == ',' && SmallNumber(last, 9, number)
        && SmallNumber(c[before - 2].substr(0, c[before - 2].size() - 1), 9, number))
        return 2;
    return SizeColumn(last, size) ? 1 : 0;
}

std::size_t EndOf(std::string_view line, std::string_view part)
{
    return static_cast<std::size_t>(part.data() - line.data()) + part.size();
}

std::string_view Between(std::string_view line, std::string_view first, std::string_view last)
{
    const auto from = static_cast<std::size_t>(first.data() - line.data());
    return line.substr(from, EndOf(line, last) - from);
}

}  // namespace

bool ParseUnixLine(std::string_view line, const TDateParts& today, TIdListLineFields& fields)
{
    Column c[MaxColumns];
    std::string_view rest = line;
    std::size_t count = 0;
    const auto take = [&](std::size_t wanted) {
        while (count < wanted && count < MaxColumns) {
            const std::string_view column = NextToken(rest);
            if (column.empty())
                break;
            c[count++] = {column.data(), column.size()};
        }
        return count;
    };
    if (take(3) < 3 || !IsPermissionColumn(c[0]))
        return false;

    // Second column: the link count; "folder" on some servers that have neither link count,
    // owner nor group; a number glued to the owner when it is longer than 3 characters and
    // starts with "0".
    std::size_t ownerFrom = 2;
    std::string_view gluedOwner;
    const bool folder = EqualsNoCase(c[1], "FOLDER");
    if (!folder && c[1].size() > 3 && c[1][0] == '0')
        gluedOwner = c[1].substr(1);
    else if (!folder && !SmallNumber(c[1], 9, fields.linkCount))
        ownerFrom = 1;  // no link count column

    DateColumns date;
    std::int64_t size = 0;
    std::size_t at = folder ? 3 : ownerFrom + 1;
    std::size_t sizeColumns = 0;
    for (;; ++at) {
        const std::size_t available = take(at + 4) - std::min(at, count);
        if (available < 2)
            return false;
        if ((sizeColumns = SizeColumns(c, at, size)) > 0 && (!folder || at - sizeColumns == 2)
            && at - sizeColumns >= ownerFrom && DateAt(c + at, available, date))
            break;
    }

    // The name starts after the one blank that follows the date.
    const std::size_t nameFrom = EndOf(line, c[at + date.columns - 1]) + 1;
    if (nameFrom >= line.size())
        return false;
    std::string_view name = line.substr(nameFrom);

    const int year = date.year ? date.year : YearOfUndatedDay(date.month, date.day, today);
    if (date.second < 0) {
        date.second = 0;
        date.millisecond = 999;
    }
    if (!DateTimeOf(year, date.month, date.day, date.hour, date.minute, date.second, date.millisecond,
                    fields.modified))
        return false;

    const char type = Upper(c[0][0]);
    fields.kind = type == 'D' ? ikDirectory : type == 'L' ? ikSymLink : ikFile;
    if (fields.kind == ikSymLink)
        if (const auto arrow = name.find(" -> "); arrow != std::string_view::npos) {
            fields.linkTarget = name.substr(arrow + 4);
            name = name.substr(0, arrow);
        }
    if (name.empty())
        return false;
    fields.name = name;
    fields.size = size;
    fields.hasUnixColumns = true;
    fields.permissions = c[0];

    // Owner and group: one column alone is the group (listings without a group column); of
    // several, the first is the owner and the others, blanks kept, the group.
    const std::size_t sizeAt = at - sizeColumns;
    if (!gluedOwner.empty()) {
        fields.owner = gluedOwner;
        fields.group = sizeAt > 2 ? Between(line, c[2], c[sizeAt - 1]) : std::string_view();
    } else if (sizeAt - ownerFrom == 1) {
        fields.group = c[ownerFrom];
    } else if (sizeAt - ownerFrom > 1) {
        fields.owner = c[ownerFrom];
        fields.group = Between(line, c[ownerFrom + 1], c[sizeAt - 1]);
    }
    return true;
}
