#pragma once
#include "AtomicFile.h"

#include <optional>
#include <string>
#include <vector>

// A failed write of a settings file: "<path> に書き込めません".
using EIniWriteError = EFileWriteError;

// INI-style settings file, opened by path for every operation and closed again.
// Section and key names compare without regard to case. Writes are a read-modify-write under
// an advisory lock, replaced atomically, so concurrent writers of different keys lose nothing
// and an interrupted write leaves the previous file.
class TIniFile {
public:
    static constexpr std::size_t MaxStringLength = 2047;
    static constexpr std::size_t MaxSectionNamesBytes = 16384;

    explicit TIniFile(std::string path);
    const std::string& FileName() const { return path_; }

    // Missing keys give the default and write nothing. Strings are cut to MaxStringLength.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    // Signed 32-bit decimal, or hexadecimal after "0x"/"0X"; anything else gives the default.
    int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
    // Any non-zero integer is true; a value that is not a number gives the default.
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

    // Create the file, section and key as needed; every other line stays as it was.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);  // "1" / "0"
    // Writes the keys of one section in order, as WriteString would, in one locked replace.
    void WriteStrings(const std::string& section, const std::vector<std::pair<std::string, std::string>>& entries);

    // Section names in file order (at most MaxSectionNamesBytes of names).
    std::vector<std::string> ReadSections() const;
    // Key names of one section in file order.
    std::vector<std::string> ReadSection(const std::string& section) const;
    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& key);

private:
    std::string path_;
};
