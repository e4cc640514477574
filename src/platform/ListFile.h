#pragma once
#include <optional>
#include <string>
#include <vector>

using StringList = std::vector<std::string>;

// List files: plain text, one entry per line, read and written whole. Reading accepts LF and
// CR LF; a final line break does not make an extra entry. Writing ends every line with the
// platform's line break. Entries are the locale's bytes (UTF-8 here), passed through unchanged.

// The entries of the file, or nothing when it does not exist or cannot be read.
std::optional<StringList> LoadListFile(const std::string& path);
// Replaces the file with the entries under its write lock, atomically; throws EFileWriteError
// when it cannot be written.
void SaveListFile(const std::string& path, const StringList& entries);

// Splits a whole text into entries as LoadListFile does.
StringList SplitListText(const std::string& text);

// "TextExt.txt" at start-up: the whole text trimmed of leading and trailing blanks and empty
// lines, then "." put in front of every entry that lacks it. Missing file: the four defaults
// ".txt", ".html", ".htm", ".css".
StringList LoadTextExtList(const std::string& appDir);
// "SkipExt.txt" and "NoDeleteExt.txt": used as written; missing files give empty lists.
StringList LoadSkipExtList(const std::string& appDir);
StringList LoadNoDeleteExtList(const std::string& appDir);
