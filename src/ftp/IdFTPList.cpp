#include "IdFTPList.h"

#include "IdText.h"

#include <algorithm>
#include <charconv>

namespace {

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size()
        && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char p, char t) { return p == Upper(t); });
}

bool ContainsNoCase(std::string_view text, std::string_view needle)
{
    return std::search(text.begin(), text.end(), needle.begin(), needle.end(),
                       [](char t, char n) { return Upper(t) == n; }) != text.end();
}

std::string_view TrimLeftBlanks(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    return s;
}

std::string_view TrimRightBlanks(std::string_view s)
{
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// Cuts the text before the first blank out of `rest`; the blank itself goes too.
std::string_view CutToken(std::string_view& rest)
{
    const auto blank = rest.find(' ');
    std::string_view token = rest.substr(0, blank);
    rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
    return token;
}

// A token as the Unix listing takes it: the blanks after it are removed as well.
std::string_view TakeToken(std::string_view& rest)
{
    std::string_view token = CutToken(rest);
    rest = TrimLeftBlanks(rest);
    return token;
}

template <typename Int>
bool ParseNumber(std::string_view text, Int& value)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && p == text.data() + text.size();
}

template <typename Int>
Int NumberOr(std::string_view text, Int fallback)
{
    Int value {};
    return ParseNumber(text, value) ? value : fallback;
}

std::string WithoutCommas(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ',')
            out += c;
    return out;
}

// Characters first..last (1-based, inclusive) of the line, shorter when the line is.
std::string_view Columns(std::string_view line, std::size_t first, std::size_t last)
{
    if (line.size() < first)
        return {};
    return line.substr(first - 1, last - first + 1);
}

bool IsUnixPermissions(std::string_view line)
{
    static const std::string_view allowed[10] = {
        "-BCDLPS", "-RSTWX", "-ARSTWX", "-RSTWX", "-HRSTWX",
        "-RSTWX",  "-RSTWXY", "-ARSTWX", "-RSTWX", "-RSTWX"};
    if (line.size() < 10)
        return false;
    for (std::size_t i = 0; i < 10; ++i)
        if (allowed[i].find(Upper(line[i])) == std::string_view::npos)
            return false;
    return true;
}

int MonthNumber(std::string_view token)
{
    static const std::string_view months[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    for (int m = 0; m < 12; ++m)
        if (token.size() == 3 && StartsWithNoCase(token, months[m]))
            return m + 1;
    return 0;
}

// Splits at every `separator` and gives the n-th field trimmed (empty when missing).
std::string_view Field(std::string_view text, char separator, int n)
{
    for (int i = 0; i < n; ++i) {
        const auto at = text.find(separator);
        if (at == std::string_view::npos)
            return {};
        text.remove_prefix(at + 1);
    }
    return Trim(text.substr(0, text.find(separator)));
}

char FirstNonDigit(std::string_view text)
{
    for (char c : text)
        if (!IsDigit(c))
            return c;
    return '\0';
}

}  // namespace

TIdFTPListFormat DetectListFormat(std::string_view line, bool details)
{
    if (!details)
        return lfNamesOnly;
    if (IsUnixPermissions(line) || StartsWithNoCase(line, "TOTAL"))
        return lfUnix;
    if (ContainsNoCase(line, "DSK:"))
        return lfDsk;
    const auto isDateSeparator = [](char c) { return c == '-' || c == '/'; };
    if (line.size() < 6 || !isDateSeparator(line[2]) || !isDateSeparator(line[5]))
        return lfUnknown;
    const std::string_view dirField = Trim(Columns(line, 25, 30));
    if (dirField.size() == 5 && StartsWithNoCase(dirField, "<DIR>"))
        return lfDos;
    std::int64_t size = 0;
    if (dirField.empty() && ParseNumber(WithoutCommas(Trim(Columns(line, 31, 38))), size) && size != -1)
        return lfDos;
    return lfUnknown;
}

void ParseUnixLine(TIdFTPListItem& item, TIdFTPListFormat format, const TDateParts& today)
{
    std::string_view rest = item.RawLine;
    const std::string_view permissions = TakeToken(rest);
    const char type = permissions.empty() ? '\0' : Upper(permissions[0]);
    const auto rights = [&](std::size_t from) { return std::string(Columns(permissions, from, from + 2)); };
    std::string ownerRights = rights(2), groupRights = rights(5), otherRights = rights(8);

    std::string linkCountText, owner, group;
    std::string_view token = TakeToken(rest);
    const bool folder = token.size() == 6 && StartsWithNoCase(token, "FOLDER");
    std::string putBack;
    if (!folder) {
        if (token.size() > 3 && token[0] == '0') {
            linkCountText = "0";
            putBack = std::string(token.substr(1)) + " " + std::string(rest);
            rest = putBack;
        } else {
            linkCountText = token;
        }
        owner = TakeToken(rest);
        group = TakeToken(rest);
    }

    std::string sizeText;
    if (!rest.empty() && IsLetter(rest.front()) && format == lfUnix) {
        sizeText = group;
        group = owner;
        owner.clear();
    } else {
        token = TakeToken(rest);
        if (token.find(',') != std::string_view::npos)
            TakeToken(rest);  // the device's minor number
        else
            sizeText = token;
        rest = TrimLeftBlanks(rest);
    }

    const int month = MonthNumber(TakeToken(rest));
    const int day = NumberOr(TakeToken(rest), today.day);
    token = CutToken(rest);
    int year = today.year, hour = 0, minute = 0;
    if (const auto colon = token.find(':'); colon == std::string_view::npos) {
        year = NumberOr(token, today.year);
    } else {
        if (today.month < month)
            --year;
        hour = NumberOr(token.substr(0, colon), 0);
        minute = NumberOr(token.substr(colon + 1), 0);
    }

    item.Name = rest;
    item.Kind = type == 'D' ? ikDirectory : type == 'L' ? ikSymLink : ikFile;
    item.LinkCount = NumberOr(std::string_view(linkCountText), 0);
    item.Owner = std::move(owner);
    item.Group = std::move(group);
    item.OwnerRights = std::move(ownerRights);
    item.GroupRights = std::move(groupRights);
    item.OtherRights = std::move(otherRights);
    item.Size = NumberOr<std::int64_t>(sizeText, 0);
    item.Modified = EncodeDate(year, month, day) + EncodeTime(hour, minute, 0, 999);

    if (item.Kind == ikSymLink) {
        if (const auto arrow = item.Name.find(" -> "); arrow != std::string::npos) {
            item.LinkTarget = item.Name.substr(arrow + 4);
            item.Name.resize(arrow);
        } else {
            item.LinkTarget = item.Name.size() > 3 ? item.Name.substr(3) : std::string();
            item.Name.clear();
        }
    }
}

TDateTime DosDate(std::string_view text, const TDateParts& today)
{
    const char separator = FirstNonDigit(text);
    const int month = NumberOr(Field(text, separator, 0), 0);
    const int day = NumberOr(Field(text, separator, 1), 0);
    int year = NumberOr(Field(text, separator, 2), 0);
    if (year < 100) {
        const int century = today.year / 100 * 100;
        year += year <= 50 ? century : century - 100;
    }
    return EncodeDate(year, month, day);
}

TDateTime DosTime(std::string_view text)
{
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), Upper);
    bool pm = false, am = false;
    std::string_view body = upper;
    if (const auto at = body.find("PM"); at != std::string_view::npos) {
        body = body.substr(0, at);
        pm = true;
    } else if (const auto at = body.find("AM"); at != std::string_view::npos) {
        body = body.substr(0, at);
        am = true;
    }
    body = Trim(body);
    const char separator = FirstNonDigit(text);
    int hour = NumberOr(Field(body, separator, 0), 0);
    const int minute = NumberOr(Field(body, separator, 1), 0);
    const int second = NumberOr(Field(body, separator, 2), 0);
    const int millisecond = NumberOr(Field(body, separator, 3), 0);
    if (pm && hour < 12)
        hour += 12;
    else if (am && hour == 12)
        hour = 0;
    return EncodeTime(hour, minute, second, millisecond);
}

void ParseDosLine(TIdFTPListItem& item, const TDateParts& today)
{
    const std::string_view line = item.RawLine;
    const std::string dateText = std::string(Columns(line, 1, 2)) + "/" + std::string(Columns(line, 4, 5)) + "/"
        + std::string(Columns(line, 7, 8));
    std::string_view rest = Trim(line.size() > 8 ? line.substr(8) : std::string_view());
    const std::string_view timeText = CutToken(rest);
    item.Modified = DosDate(dateText, today) + DosTime(timeText);

    rest = Trim(rest);
    const std::string sizeField = WithoutCommas(CutToken(rest));
    if (sizeField.size() == 5 && StartsWithNoCase(sizeField, "<DIR>")) {
        item.Kind = ikDirectory;
        item.Name = TrimRightBlanks(rest.size() > 9 ? rest.substr(9) : std::string_view());
    } else {
        item.Kind = ikFile;
        item.Size = NumberOr<std::int64_t>(sizeField, 0);
        item.Name = TrimRightBlanks(rest);
    }
}

void TIdFTPListItems::LoadLines(std::vector<std::string> lines)
{
    LoadLines(std::move(lines), LocalNow());
}

void TIdFTPListItems::LoadLines(std::vector<std::string> lines, const TDateParts& today)
{
    Clear();
    std::size_t first = 0;
    if (ListFormat == lfUnix && !lines.empty() && StartsWithNoCase(lines[0], "TOTAL"))
        first = 1;
    items_.reserve(lines.size() - first);
    for (std::size_t i = first; i < lines.size(); ++i) {
        std::string& line = lines[i];
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        TIdFTPListItem& item = Add();
        item.RawLine = std::move(line);
        const std::string_view raw = item.RawLine;
        switch (ListFormat) {
        case lfNone: break;
        case lfDos: ParseDosLine(item, today); break;
        case lfUnix:
        case lfDsk: ParseUnixLine(item, ListFormat, today); break;
        case lfNamesOnly: item.Name = Trim(raw); break;
        case lfUnknown:
        case lfCustom: throw EIdInvalidFTPListingFormat();
        }
    }
}

void ParseListing(std::vector<std::string> lines, TIdFTPListItems& into)
{
    into.Clear();
    if (lines.empty())
        return;
    into.ListFormat = DetectListFormat(lines.front(), true);
    into.LoadLines(std::move(lines));
}
