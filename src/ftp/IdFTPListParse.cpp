#include "IdFTPListParse.h"

#include <limits>

namespace listing {

bool SizeColumn(std::string_view text, std::int64_t& size)
{
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty() || !IsDigit(text.front()) || !IsDigit(text.back()))
        return false;
    constexpr std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t value = 0;
    bool fits = true;
    for (char c : text) {
        if (c == ',')
            continue;
        if (!IsDigit(c))
            return false;
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (value > (max - digit) / 10)
            fits = false;
        else
            value = value * 10 + digit;
    }
    constexpr auto largest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    size = !fits || negative ? 0 : static_cast<std::int64_t>(std::min(value, largest));
    return true;
}

bool ClockTime(std::string_view text, int& hour, int& minute, int& second, int& millisecond)
{
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || !SmallNumber(text.substr(0, colon), 2, hour) || text.size() < colon + 3
        || !SmallNumber(text.substr(colon + 1, 2), 2, minute))
        return false;
    text.remove_prefix(colon + 3);
    second = -1;
    millisecond = 0;
    if (text.empty())
        return true;
    if (text.size() < 3 || text[0] != ':' || !SmallNumber(text.substr(1, 2), 2, second))
        return false;
    text.remove_prefix(3);
    if (text.empty())
        return true;
    if (text[0] != '.' || text.size() < 2)
        return false;
    int scale = 100;
    for (char c : text.substr(1)) {
        if (!IsDigit(c))
            return false;
        millisecond += (c - '0') * scale;
        scale /= 10;
    }
    return true;
}

bool DateTimeOf(int year, int month, int day, int hour, int minute, int second, int millisecond, TDateTime& value)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23
        || minute > 59 || second > 59 || millisecond > 999)
        return false;
    value = EncodeDate(year, month, day) + EncodeTime(hour, minute, second, millisecond);
    return true;
}

}  // namespace listing
