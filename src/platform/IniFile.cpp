#include "IniFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

namespace {

// One line of the file as written, with its line ending, and what it means.
struct IniLine {
    enum class Kind { Other, Section, Entry };
    Kind kind = Kind::Other;
    std::string text;     // the line without its ending
    std::string ending;   // "\r\n", "\n" or "" for a last line without one
    std::string name;     // section name or key, trimmed
    std::string value;    // entry value, trimmed
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string Trimmed(std::string_view s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return std::string(s.substr(b, e - b));
}

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return (x >= 'A' && x <= 'Z' ? x + 32 : x) == (y >= 'A' && y <= 'Z' ? y + 32 : y);
           });
}

IniLine ParseLine(std::string text, std::string ending)
{
    IniLine line;
    line.text = std::move(text);
    line.ending = std::move(ending);
    const std::string t = Trimmed(line.text);
    if (t.empty() || t[0] == ';')
        return line;
    if (t[0] == '[') {
        const auto close = t.find(']');
        line.kind = IniLine::Kind::Section;
        line.name = Trimmed(std::string_view(t).substr(1, close == std::string::npos ? t.size() - 1 : close - 1));
        return line;
    }
    if (const auto eq = t.find('='); eq != std::string::npos) {
        line.kind = IniLine::Kind::Entry;
        line.name = Trimmed(std::string_view(t).substr(0, eq));
        line.value = Trimmed(std::string_view(t).substr(eq + 1));
    }
    return line;
}

std::vector<IniLine> ParseText(const std::string& text)
{
    std::vector<IniLine> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto lf = text.find('\n', pos);
        if (lf == std::string::npos) {
            lines.push_back(ParseLine(text.substr(pos), ""));
            break;
        }
        const bool crlf = lf > pos && text[lf - 1] == '\r';
        const std::size_t end = crlf ? lf - 1 : lf;
        lines.push_back(ParseLine(text.substr(pos, end - pos), crlf ? "\r\n" : "\n"));
        pos = lf + 1;
    }
    return lines;
}

bool ReadWholeFile(const std::string& path, std::string& out)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    out.clear();
    char buffer[16384];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            close(fd);
            return false;
        }
        if (n == 0)
            break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return true;
}

std::vector<IniLine> LoadLines(const std::string& path)
{
    std::string text;
    if (!ReadWholeFile(path, text))
        return {};
    return ParseText(text);
}

// Index of the section line, or npos.
std::size_t FindSection(const std::vector<IniLine>& lines, const std::string& section)
{
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].kind == IniLine::Kind::Section && SameName(lines[i].name, section))
            return i;
    return std::string::npos;
}

// End (exclusive) of the section that starts at index start.
std::size_t SectionEnd(const std::vector<IniLine>& lines, std::size_t start)
{
    std::size_t i = start + 1;
    while (i < lines.size() && lines[i].kind != IniLine::Kind::Section)
        ++i;
    return i;
}

std::size_t FindKey(const std::vector<IniLine>& lines, std::size_t sectionLine, const std::string& key)
{
    const std::size_t end = SectionEnd(lines, sectionLine);
    for (std::size_t i = sectionLine + 1; i < end; ++i)
        if (lines[i].kind == IniLine::Kind::Entry && SameName(lines[i].name, key))
            return i;
    return std::string::npos;
}

const IniLine* FindEntry(const std::vector<IniLine>& lines, const std::string& section, const std::string& key)
{
    const std::size_t s = FindSection(lines, section);
    if (s == std::string::npos)
        return nullptr;
    const std::size_t k = FindKey(lines, s, key);
    return k == std::string::npos ? nullptr : &lines[k];
}

std::string PreferredEnding(const std::vector<IniLine>& lines)
{
    for (const auto& line : lines)
        if (!line.ending.empty())
            return line.ending;
    return "\n";
}

IniLine EntryLine(const std::string& key, const std::string& value, const std::string& ending)
{
    return ParseLine(key + "=" + value, ending);
}

std::string Text(const std::vector<IniLine>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line.text + line.ending;
    return text;
}

// Sets one key, creating the section as needed; false when the value is already there.
bool SetEntry(std::vector<IniLine>& lines, const std::string& section, const std::string& key,
              const std::string& value)
{
    const std::string ending = PreferredEnding(lines);
    const std::size_t s = FindSection(lines, section);
    if (s == std::string::npos) {
        if (!lines.empty() && lines.back().ending.empty())
            lines.back().ending = ending;
        lines.push_back(ParseLine("[" + section + "]", ending));
        lines.push_back(EntryLine(key, value, ending));
        return true;
    }
    if (const std::size_t k = FindKey(lines, s, key); k != std::string::npos) {
        if (lines[k].value == value)
            return false;
        lines[k] = EntryLine(key, value, lines[k].ending);
        return true;
    }
    // A new key goes after the section's last entry, before any blank lines that follow it.
    std::size_t insertAt = SectionEnd(lines, s);
    while (insertAt > s + 1 && lines[insertAt - 1].kind == IniLine::Kind::Other
           && Trimmed(lines[insertAt - 1].text).empty())
        --insertAt;
    if (lines[insertAt - 1].ending.empty())
        lines[insertAt - 1].ending = ending;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), EntryLine(key, value, ending));
    return true;
}

// Mode given to the file when a write creates it: settings files may hold passwords, so only
// the owner can read them. An existing file keeps its mode.
constexpr unsigned CreationMode = 0600;

template <typename Change>
void Modify(const std::string& path, Change change)
{
    const TFileWriteLock lock(path);
    std::string text;
    // A file that exists but cannot be read is not replaced: its other entries would be lost.
    if (!ReadWholeFile(path, text) && errno != ENOENT)
        throw EFileWriteError(path);
    std::vector<IniLine> lines = ParseText(text);
    if (change(lines))
        ReplaceFileContents(path, Text(lines), CreationMode);
}

std::optional<int> ParseInteger(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint32_t value = 0;
        const auto [p, ec] = std::from_chars(begin + 2, end, value, 16);
        if (ec != std::errc() || p != end)
            return std::nullopt;
        return static_cast<int>(value);
    }
    int value = 0;
    const auto [p, ec] = std::from_chars(begin + (text[0] == '+' ? 1 : 0), end, value, 10);
    if (ec != std::errc() || p != end)
        return std::nullopt;
    return value;
}

}  // namespace

TIniFile::TIniFile(std::string path) : path_(std::move(path)) {}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const
{
    const auto lines = LoadLines(path_);
    const IniLine* entry = FindEntry(lines, section, key);
    if (!entry)
        return defaultValue;
    return entry->value.substr(0, MaxStringLength);
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int defaultValue) const
{
    const auto lines = LoadLines(path_);
    const IniLine* entry = FindEntry(lines, section, key);
    if (!entry)
        return defaultValue;
    return ParseInteger(entry->value.substr(0, MaxStringLength)).value_or(defaultValue);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    Modify(path_, [&](std::vector<IniLine>& lines) { return SetEntry(lines, section, key, value); });
}

void TIniFile::WriteStrings(const std::string& section,
                            const std::vector<std::pair<std::string, std::string>>& entries)
{
    Modify(path_, [&](std::vector<IniLine>& lines) {
        bool changed = false;
        for (const auto& [key, value] : entries)
            changed = SetEntry(lines, section, key, value) || changed;
        return changed;
    });
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

std::vector<std::string> TIniFile::ReadSections() const
{
    std::vector<std::string> names;
    std::size_t bytes = 1;  // the list's closing terminator
    for (const auto& line : LoadLines(path_)) {
        if (line.kind != IniLine::Kind::Section)
            continue;
        bytes += line.name.size() + 1;
        if (bytes > MaxSectionNamesBytes)
            break;
        names.push_back(line.name);
    }
    return names;
}

std::vector<std::string> TIniFile::ReadSection(const std::string& section) const
{
    const auto lines = LoadLines(path_);
    std::vector<std::string> keys;
    const std::size_t s = FindSection(lines, section);
    if (s == std::string::npos)
        return keys;
    const std::size_t end = SectionEnd(lines, s);
    for (std::size_t i = s + 1; i < end; ++i)
        if (lines[i].kind == IniLine::Kind::Entry)
            keys.push_back(lines[i].name);
    return keys;
}

bool TIniFile::SectionExists(const std::string& section) const
{
    return FindSection(LoadLines(path_), section) != std::string::npos;
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const
{
    return FindEntry(LoadLines(path_), section, key) != nullptr;
}

void TIniFile::EraseSection(const std::string& section)
{
    Modify(path_, [&](std::vector<IniLine>& lines) {
        const std::size_t s = FindSection(lines, section);
        if (s == std::string::npos)
            return false;
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(s),
                    lines.begin() + static_cast<std::ptrdiff_t>(SectionEnd(lines, s)));
        return true;
    });
}

void TIniFile::DeleteKey(const std::string& section, const std::string& key)
{
    Modify(path_, [&](std::vector<IniLine>& lines) {
        const std::size_t s = FindSection(lines, section);
        const std::size_t k = s == std::string::npos ? s : FindKey(lines, s, key);
        if (k == std::string::npos)
            return false;
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(k));
        return true;
    });
}
