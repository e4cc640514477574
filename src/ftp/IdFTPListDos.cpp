// MS-DOS-style listing lines as Windows servers (IIS) send them: date, time, "<DIR>" or size,
// name. Read by columns, whatever the padding.
#include "IdFTPListParse.h"

#include <algorithm>

namespace {

using namespace listing;

// "01-17-04", "05-26-1995" (IIS with four-digit years), "/" as separator too.
bool DosDate(std::string_view text, const TDateParts& today, int& year, int& month, int& day)
{
    if (text.size() < 6 || (text[2] != '-' && text[2] != '/') || text[5] != text[2]
        || !SmallNumber(text.substr(0, 2), 2, month) || !SmallNumber(text.substr(3, 2), 2, day))
        return false;
    const std::string_view yearText = text.substr(6);
    if (yearText.size() == 4)
        return SmallNumber(yearText, 4, year);
    if (yearText.size() != 2 || !SmallNumber(yearText, 2, year))
        return false;
    // Two-digit years: up to 50 in today's century, above in the one before.
    const int century = today.year / 100 * 100;
    year += year <= 50 ? century : century - 100;
    return true;
}

// "03:37PM", "03:37 PM" (the marker as a column of its own) or 24-hour "13:08".
bool DosTime(std::string_view text, std::string_view& rest, int& hour, int& minute, int& second)
{
    std::string_view marker;
    const std::string_view last = text.size() > 2 ? text.substr(text.size() - 2) : std::string_view();
    if (EqualsNoCase(last, "AM") || EqualsNoCase(last, "PM")) {
        marker = last;
        text.remove_suffix(2);
    } else {
        std::string_view after = rest;
        const std::string_view next = NextToken(after);
        if (EqualsNoCase(next, "AM") || EqualsNoCase(next, "PM")) {
            marker = next;
            rest = after;
        }
    }
    int millisecond = 0;
    if (!ClockTime(text, hour, minute, second, millisecond))
        return false;
    second = std::max(second, 0);
    if (marker.empty())
        return true;
    if (hour > 12)
        return false;
    const bool pm = Upper(marker[0]) == 'P';
    if (pm && hour < 12)
        hour += 12;
    else if (!pm && hour == 12)
        hour = 0;
    return true;
}

std::string_view TrimRightBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace

bool ParseDosLine(std::string_view line, const TDateParts& today, TIdListLineFields& fields)
{
    std::string_view rest = line;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!DosDate(NextToken(rest), today, year, month, day))
        return false;
    const std::string_view timeText = NextToken(rest);
    if (!DosTime(timeText, rest, hour, minute, second))
        return false;
    const std::string_view sizeText = NextToken(rest);
    if (EqualsNoCase(sizeText, "<DIR>"))
        fields.kind = ikDirectory;
    else if (SizeColumn(sizeText, fields.size))
        fields.kind = ikFile;
    else
        return false;
    fields.name = TrimRightBlanks(SkipBlanks(rest));
    return !fields.name.empty() && DateTimeOf(year, month, day, hour, minute, second, 0, fields.modified);
}
