#pragma once
#include "IdFTPList.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

// The line parsers of the listing formats. Each tells whether the line has its format's shape
// and, when it has, fills `fields` with views into the line; `today` gives the year of dates
// that carry none.
bool ParseUnixLine(std::string_view line, const TDateParts& today, TIdListLineFields& fields);
bool ParseDosLine(std::string_view line, const TDateParts& today, TIdListLineFields& fields);

// A line of MLSD or the entry line of MLST (RFC 3659): facts, one blank, the name as bytes.
enum class TMlsdLine { Entry, ListedDirectory, Invalid };
// ListedDirectory: the cdir or pdir line, which names the listed directory or its parent.
TMlsdLine ParseMlsdLine(std::string_view line, TIdListLineFields& fields);

namespace listing {

inline bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

inline bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

inline char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

inline bool EqualsNoCase(std::string_view text, std::string_view upper)
{
    if (text.size() != upper.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (Upper(text[i]) != upper[i])
            return false;
    return true;
}

inline std::string_view SkipBlanks(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return text.substr(i);
}

// The next column of `rest`, columns being separated by blanks; `rest` then starts at the blank
// after it.
inline std::string_view NextToken(std::string_view& rest)
{
    std::size_t start = 0;
    while (start < rest.size() && rest[start] == ' ')
        ++start;
    const std::size_t end = std::min(rest.find(' ', start), rest.size());
    const std::string_view token = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return token;
}

// Digits only, at most `maxDigits` of them (and at least one); the value in `value`.
inline bool SmallNumber(std::string_view text, std::size_t maxDigits, int& value)
{
    if (text.empty() || text.size() > maxDigits)
        return false;
    value = 0;
    for (char c : text) {
        if (!IsDigit(c))
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// A size column: digits with an optional minus sign, commas allowed between digits. Sizes are
// 64-bit unsigned on the servers' side: one above INT64_MAX (up to 2^64 - 1, which some servers
// show for huge or special files) is held as INT64_MAX, the largest size an entry can carry.
// A size that is negative or does not fit 64 bits at all is unknown and read as 0.
bool SizeColumn(std::string_view text, std::int64_t& size);

// "H:MM" or "HH:MM", optionally ":SS" and a fraction ".fff…" (milliseconds kept). Fills
// hour, minute, second (-1 when absent) and millisecond.
bool ClockTime(std::string_view text, int& hour, int& minute, int& second, int& millisecond);

// RFC 3659's time-val, "YYYYMMDDHHMMSS" with an optional fraction (milliseconds kept), in UTC.
bool MachineTime(std::string_view text, TDateTime& value);

// The date and time as a TDateTime, or false for an impossible date or time.
bool DateTimeOf(int year, int month, int day, int hour, int minute, int second, int millisecond, TDateTime& value);

}  // namespace listing
