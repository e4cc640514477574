// Unix-style listing lines ("ls -l" and the many servers that imitate it). The line is read by
// anchoring on its date columns: the column before them is the size, the first column the type
// and permissions, the second the link count, and whatever lies between the link count and the
// size is owner and group, blanks included ("Domain Users").
#include "IdFTPListParse.h"

#include <algorithm>
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

constexpr int Key(char a, char b, char c)
{
    return (a << 16) | (b << 8) | c;
}

// Three-letter month names in plain letters, lower case: English, German, French, Spanish,
// Italian, Dutch and Swedish, and French without its accents as servers without UTF-8 send it.
// French "jui" stands for both June and July and is no month.
int MonthOfLetters(int key)
{
    switch (key) {
    case Key('j', 'a', 'n'): case Key('g', 'e', 'n'): case Key('e', 'n', 'e'): return 1;
    case Key('f', 'e', 'b'): case Key('f', 'e', 'v'): return 2;
    case Key('m', 'a', 'r'): case Key('m', 'r', 'z'): case Key('m', 'r', 't'): return 3;
    case Key('a', 'p', 'r'): case Key('a', 'b', 'r'): case Key('a', 'v', 'r'): return 4;
    case Key('m', 'a', 'y'): case Key('m', 'a', 'i'): case Key('m', 'a', 'g'): case Key('m', 'e', 'i'):
    case Key('m', 'a', 'j'): return 5;
    case Key('j', 'u', 'n'): case Key('g', 'i', 'u'): return 6;
    case Key('j', 'u', 'l'): case Key('l', 'u', 'g'): return 7;
    case Key('a', 'u', 'g'): case Key('a', 'g', 'o'): case Key('a', 'o', 'u'): return 8;
    case Key('s', 'e', 'p'): case Key('s', 'e', 't'): return 9;
    case Key('o', 'c', 't'): case Key('o', 'k', 't'): case Key('o', 't', 't'): return 10;
    case Key('n', 'o', 'v'): return 11;
    case Key('d', 'e', 'c'): case Key('d', 'e', 'z'): case Key('d', 'i', 'c'): return 12;
    default: return 0;
    }
}

// The other month names, in UTF-8 and lower case: the accented three-letter forms, the longer
// French abbreviations and the Russian ones ("мая" is May in the genitive, as dates use it).
struct MonthText {
    std::string_view text;
    int month;
};
constexpr MonthText OtherMonthNames[] = {
    {"j\xC3\xA4n", 1}, {"janv", 1}, {"\xD1\x8F\xD0\xBD\xD0\xB2", 1},
    {"f\xC3\xA9v", 2}, {"f\xC3\xA9vr", 2}, {"fevr", 2}, {"\xD1\x84\xD0\xB5\xD0\xB2", 2},
    {"m\xC3\xA4r", 3}, {"mars", 3}, {"\xD0\xBC\xD0\xB0\xD1\x80", 3},
    {"avril", 4}, {"\xD0\xB0\xD0\xBF\xD1\x80", 4},
    {"\xD0\xBC\xD0\xB0\xD0\xB9", 5}, {"\xD0\xBC\xD0\xB0\xD1\x8F", 5},
    {"juin", 6}, {"\xD0\xB8\xD1\x8E\xD0\xBD", 6},
    {"juil", 7}, {"\xD0\xB8\xD1\x8E\xD0\xBB", 7},
    {"ao\xC3\xBB", 8}, {"ao\xC3\xBBt", 8}, {"aout", 8}, {"\xD0\xB0\xD0\xB2\xD0\xB3", 8},
    {"sept", 9}, {"\xD1\x81\xD0\xB5\xD0\xBD", 9},
    {"\xD0\xBE\xD0\xBA\xD1\x82", 10},
    {"\xD0\xBD\xD0\xBE\xD1\x8F", 11},
    {"d\xC3\xA9" "c", 12}, {"\xD0\xB4\xD0\xB5\xD0\xBA", 12},
};
constexpr std::size_t LongestMonthName = 6;

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// The text in lower case, for ASCII letters and the UTF-8 capitals of Latin-1 ("Ä", "É") and of
// Russian ("Я", "Ё"); false when it is longer than `out`.
bool LowerCaseUtf8(std::string_view text, char* out, std::size_t room, std::size_t& length)
{
    if (text.size() > room)
        return false;
    length = text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
        out[i] = Lower(text[i]);
        if (lead == 0xC3 && next >= 0x80 && next <= 0x9E && next != 0x97) {
            out[++i] = static_cast<char>(next + 0x20);
        } else if (lead == 0xD0 && next >= 0x90 && next <= 0x9F) {
            out[++i] = static_cast<char>(next + 0x20);
        } else if (lead == 0xD0 && next >= 0xA0 && next <= 0xAF) {
            out[i] = static_cast<char>(0xD1);
            out[++i] = static_cast<char>(next - 0x20);
        } else if (lead == 0xD0 && next == 0x81) {
            out[i] = static_cast<char>(0xD1);
            out[++i] = static_cast<char>(0x91);
        }
    }
    return true;
}

// The month (1 to 12) a month-name column names, in any letter case and with or without a dot
// after it ("déc.", "янв."); 0 when it names none.
int MonthOfName(std::string_view column)
{
    if (column.size() > 3 && column.back() == '.')
        column.remove_suffix(1);
    if (column.size() == 3 && static_cast<signed char>(column[0] | column[1] | column[2]) >= 0)
        return MonthOfLetters(Key(Lower(column[0]), Lower(column[1]), Lower(column[2])));
    char lower[LongestMonthName];
    std::size_t length = 0;
    if (column.size() < 4 || IsDigit(column[0]) || !LowerCaseUtf8(column, lower, sizeof lower, length))
        return 0;
    for (const MonthText& name : OtherMonthNames)
        if (name.text == std::string_view(lower, length))
            return name.month;
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
    // -1: a year column instead of a time of day, so the date alone is known.
    int hour = -1, minute = 0, second = -1, millisecond = 0;
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

// "7. Dez 09:51", "22 oct.  2015": the day first, as German and French listings write it.
bool DayMonthDate(const Column* c, std::size_t available, DateColumns& date)
{
    std::string_view day = c[0];
    if (day.size() > 1 && day.back() == '.')
        day.remove_suffix(1);
    if (available < 3 || !SmallNumber(day, 2, date.day) || (date.month = MonthOfName(c[1])) == 0)
        return false;
    date.columns = 3;
    if (ClockTime(c[2], date.hour, date.minute, date.second, date.millisecond))
        return date.second < 0;
    return Year(c[2], date.year);
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
    for (const auto form : {MonthNameDate, JapaneseDate, IsoDate, DayMonthDate}) {
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

// "drwxr-xr-x1732", "drwxr-x---+1464": a link count too wide for its column, glued to the
// permissions. Splits the first column in two.
bool SplitGluedLinkCount(Column* c, std::size_t& count)
{
    const std::string_view first = c[0];
    const std::size_t digits = first.find_first_of("0123456789");
    int links = 0;
    if (digits == std::string_view::npos || count == MaxColumns || !IsPermissionColumn(first.substr(0, digits))
        || !SmallNumber(first.substr(digits), 9, links))
        return false;
    std::copy_backward(c + 1, c + count, c + count + 1);
    c[0] = {first.data(), digits};
    c[1] = {first.data() + digits, first.size() - digits};
    ++count;
    return true;
}

// A group glued to the size ("ftpadmin125435904"), as listings of fixed-width columns print a
// group that fills its column before a size that fills its own. The size is the tail of the
// digits that end the column; where it starts is read from the line, in this order:
// - a size has no leading zero, so such a zero belongs to the group ("grp0" "512");
// - an owner padded with blanks shows the width of the name columns, and a glued group fills
//   that width ("root     backup01123456789": "backup01");
// - a group that repeats the owner's name is that name ("deploy2 deploy2987654": "deploy2");
// - otherwise the group keeps no digit it need not: the whole run of digits is the size.
bool SplitGroupFromSize(const Column& owner, const Column& glued, std::string_view& group, std::int64_t& size)
{
    const std::string_view text = glued;
    std::size_t digits = text.size();
    while (digits > 0 && IsDigit(text[digits - 1]))
        --digits;
    if (digits == 0 || digits == text.size() || !(IsLetter(text[0]) || text[0] == '_'))
        return false;
    const auto sizeFrom = [&](std::size_t at) {
        return at >= digits && at < text.size() && (text[at] != '0' || at + 1 == text.size());
    };
    const std::size_t gap = static_cast<std::size_t>(glued.begin - (owner.begin + owner.length));
    std::size_t at = digits;
    if (gap >= 2 && sizeFrom(owner.length + gap - 1))
        at = owner.length + gap - 1;
    else if (text.starts_with(std::string_view(owner)) && sizeFrom(owner.length))
        at = owner.length;
    else
        while (!sizeFrom(at))
            ++at;
    group = text.substr(0, at);
    return SizeColumn(text.substr(at), size);
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
    if (take(3) < 3 || !(IsPermissionColumn(c[0]) || SplitGluedLinkCount(c, count)))
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
    std::string_view gluedGroup;
    for (;; ++at) {
        const std::size_t available = take(at + 4) - std::min(at, count);
        if (available < 2)
            return false;
        gluedGroup = {};
        sizeColumns = SizeColumns(c, at, size);
        // Only in the plain shape: permissions, link count, owner, group and size, date.
        if (sizeColumns == 0 && at == 4 && ownerFrom == 2 && !folder && gluedOwner.empty()
            && SplitGroupFromSize(c[2], c[3], gluedGroup, size))
            sizeColumns = 1;
        if (sizeColumns > 0 && (!folder || at - sizeColumns == 2) && at - sizeColumns >= ownerFrom
            && DateAt(c + at, available, date))
            break;
    }

    // The name starts after the one blank that follows the date.
    const std::size_t nameFrom = EndOf(line, c[at + date.columns - 1]) + 1;
    if (nameFrom >= line.size())
        return false;
    std::string_view name = line.substr(nameFrom);

    const int year = date.year ? date.year : YearOfUndatedDay(date.month, date.day, today);
    fields.precision = date.hour < 0 ? tpDay : date.second < 0 ? tpMinute : tpSecond;
    date.hour = std::max(date.hour, 0);
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
    if (!gluedGroup.empty()) {
        fields.owner = c[2];
        fields.group = gluedGroup;
    } else if (!gluedOwner.empty()) {
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
