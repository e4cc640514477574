#pragma once
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

// One entry of a directory, with the attribute bits a Windows file search would report:
// directory 0x10, read-only 0x1 (no owner write permission), hidden 0x2 (name starts with "."),
// system 0x4 (device, socket, FIFO), normal 0x80 when no other bit applies.
struct DirectoryEntry {
    std::string name;
    int64_t size = 0;
    std::time_t modified = 0;
    unsigned attributes = 0;
    // Symbolic links: what the link holds. The other fields describe what it points to, or the
    // link itself when that is missing (dangling).
    std::string linkTarget = {};
    bool dangling = false;

    bool IsDirectory() const { return attributes & 0x10; }
};

// Windows-style wildcard match: case-insensitive (ASCII letters), "*" any run, "?" one
// character; "*.*" matches every name.
bool WildcardMatch(const std::string& name, const std::string& mask);

// The entries of a directory that match the mask, "." and ".." left out, in the order the file
// system returns them. A directory that cannot be read gives no entries; an entry that vanishes
// while being looked at is left out.
std::vector<DirectoryEntry> ScanDirectory(const std::string& directory, const std::string& mask);

// Names of the sub-directories of a directory (links to directories included), "." and ".."
// left out, sorted by byte value. Cheap on large directories: only entries the file system
// does not type are looked at.
std::vector<std::string> SubdirectoryNames(const std::string& directory);

// Whether the path names something other than a regular file or a directory (links followed):
// a FIFO, socket or device, which opening for a transfer could block on or never finish.
bool IsSpecialFile(const std::string& path);

// Every name in a directory, whatever its kind, "." and ".." left out; nothing when the
// directory cannot be read, so a caller can tell an unreadable directory from an empty one.
std::optional<std::vector<std::string>> AllEntryNames(const std::string& directory);
