#include "ListFile.h"

#include "AtomicFile.h"
#include "ProgramDir.h"

#include <fstream>
#include <sstream>

namespace {

bool IsBlank(unsigned char c)
{
    return c <= ' ';
}

std::string TrimmedText(const std::string& text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && IsBlank(static_cast<unsigned char>(text[b])))
        ++b;
    while (e > b && IsBlank(static_cast<unsigned char>(text[e - 1])))
        --e;
    return text.substr(b, e - b);
}

std::optional<std::string> ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

StringList SplitListText(const std::string& text)
{
    StringList entries;
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto lf = text.find('\n', pos);
        const bool last = lf == std::string::npos;
        if (last)
            lf = text.size();
        std::size_t end = lf;
        if (end > pos && text[end - 1] == '\r')
            --end;
        entries.push_back(text.substr(pos, end - pos));
        pos = lf + 1;
    }
    return entries;
}

std::optional<StringList> LoadListFile(const std::string& path)
{
    const auto text = ReadText(path);
    if (!text)
        return std::nullopt;
    return SplitListText(*text);
}

void SaveListFile(const std::string& path, const StringList& entries)
{
    std::string text;
    for (const auto& entry : entries)
        text += entry + "\n";
    // The same locked, atomic replace as the settings file: two running copies never mix
    // their lists, and a failed write keeps the old one.
    const TFileWriteLock lock(path);
    ReplaceFileContents(path, text, 0644);
}

StringList LoadTextExtList(const std::string& appDir)
{
    const auto text = ReadText(ProgramFilePath(appDir, ProgramFile::TextExt));
    if (!text)
        return {".txt", ".html", ".htm", ".css"};
    StringList entries = SplitListText(TrimmedText(*text));
    for (auto& entry : entries)
        if (entry.empty() || entry[0] != '.')
            entry.insert(0, ".");
    return entries;
}

StringList LoadSkipExtList(const std::string& appDir)
{
    return LoadListFile(ProgramFilePath(appDir, ProgramFile::SkipExt)).value_or(StringList{});
}

StringList LoadNoDeleteExtList(const std::string& appDir)
{
    return LoadListFile(ProgramFilePath(appDir, ProgramFile::NoDeleteExt)).value_or(StringList{});
}
