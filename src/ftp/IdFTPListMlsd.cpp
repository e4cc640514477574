// Machine listings (RFC 3659 section 7): "fact=value;" pairs, one blank, then the name, which
// is taken as bytes up to the end of the line, blanks included.
#include "IdFTPListParse.h"

namespace {

using namespace listing;

bool AllDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

}  // namespace

namespace listing {

bool MachineTime(std::string_view text, TDateTime& value)
{
    std::string_view fraction;
    if (const auto dot = text.find('.'); dot != std::string_view::npos) {
        fraction = text.substr(dot + 1);
        text = text.substr(0, dot);
        if (!AllDigits(fraction))
            return false;
    }
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (text.size() != 14 || !SmallNumber(text.substr(0, 4), 4, year) || !SmallNumber(text.substr(4, 2), 2, month)
        || !SmallNumber(text.substr(6, 2), 2, day) || !SmallNumber(text.substr(8, 2), 2, hour)
        || !SmallNumber(text.substr(10, 2), 2, minute) || !SmallNumber(text.substr(12, 2), 2, second))
        return false;
    int millisecond = 0;
    for (std::size_t i = 0, scale = 100; i < fraction.size() && scale > 0; ++i, scale /= 10)
        millisecond += (fraction[i] - '0') * static_cast<int>(scale);
    return DateTimeOf(year, month, day, hour, minute, second, millisecond, value);
}

}  // namespace listing

namespace {

using namespace listing;

// The owner's rights from the perm fact's letters: read (r, or list and enter for a
// directory), write (w, a, or create entries in a directory), and enter as execute.
int OwnerModeOfPerm(std::string_view perm, bool directory)
{
    const auto has = [perm](std::string_view letters) {
        return perm.find_first_of(letters) != std::string_view::npos;
    };
    int bits = 0;
    if (directory ? has("lL") : has("rR"))
        bits |= 4;
    if (directory ? has("cmCM") : has("waWA"))
        bits |= 2;
    if (directory && has("eE"))
        bits |= 1;
    return bits << 6;
}

bool OctalMode(std::string_view text, int& mode)
{
    // pyftpdlib writes the mode as Python spells octal numbers.
    if (text.starts_with("0o") || text.starts_with("0O"))
        text.remove_prefix(2);
    if (text.empty() || text.size() > 6)
        return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '7')
            return false;
        value = value * 8 + (c - '0');
    }
    mode = value & 0777;
    return true;
}

}  // namespace

TMlsdLine ParseMlsdLine(std::string_view line, TIdListLineFields& fields)
{
    const auto blank = line.find(' ');
    if (blank == std::string_view::npos || blank + 1 == line.size())
        return TMlsdLine::Invalid;
    fields.name = line.substr(blank + 1);
    fields.precision = tpUnknown;
    fields.sizeKnown = false;
    fields.kind = ikFile;

    std::string_view perm;
    bool modeGiven = false;
    std::string_view facts = line.substr(0, blank);
    while (!facts.empty()) {
        const auto end = std::min(facts.find(';'), facts.size());
        const std::string_view fact = facts.substr(0, end);
        facts.remove_prefix(std::min(end + 1, facts.size()));
        const auto equals = fact.find('=');
        // A fact without a value tells nothing; the other facts still count.
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = fact.substr(0, equals);
        const std::string_view value = fact.substr(equals + 1);
        if (EqualsNoCase(key, "TYPE")) {
            if (EqualsNoCase(value, "CDIR") || EqualsNoCase(value, "PDIR"))
                return TMlsdLine::ListedDirectory;
            if (EqualsNoCase(value, "DIR"))
                fields.kind = ikDirectory;
            else if (const std::string_view unix = value.substr(0, value.find(':'));
                     EqualsNoCase(unix, "OS.UNIX=SLINK") || EqualsNoCase(unix, "OS.UNIX=SYMLINK")) {
                fields.kind = ikSymLink;
                if (unix.size() < value.size())
                    fields.linkTarget = value.substr(unix.size() + 1);
            }
        } else if (EqualsNoCase(key, "SIZE") || EqualsNoCase(key, "SIZD")) {
            std::int64_t size = 0;
            if (AllDigits(value) && SizeColumn(value, size)) {
                fields.size = size;
                fields.sizeKnown = true;
            }
        } else if (EqualsNoCase(key, "MODIFY")) {
            if (MachineTime(value, fields.modified)) {
                fields.precision = tpSecond;
                fields.modifiedUtc = true;
            }
        } else if (EqualsNoCase(key, "PERM")) {
            perm = value;
        } else if (EqualsNoCase(key, "UNIX.MODE")) {
            modeGiven = OctalMode(value, fields.mode);
        } else if (EqualsNoCase(key, "UNIQUE")) {
            fields.unique = value;
        }
    }
    if (!modeGiven && !perm.empty()) {
        fields.mode = OwnerModeOfPerm(perm, fields.kind == ikDirectory);
        fields.ownerModeOnly = true;
    }
    return TMlsdLine::Entry;
}
