#pragma once
#include <ctime>
#include <string>

// The changes the local file operations make to directory entries. Each returns false when the
// file system refuses; nothing is thrown.

// Renames, but never onto an existing entry: rename(2) would silently replace a file (or an
// empty directory) of the new name. A change of letter case only still works on file systems
// that fold case, where the new name is the same entry.
bool RenameEntryKeepingTarget(const std::string& from, const std::string& to);
bool CreateDirectoryEntry(const std::string& path);
// Only an empty directory, and never the target of a link.
bool RemoveEmptyDirectory(const std::string& path);
// A file or link; never a directory.
bool RemoveFileEntry(const std::string& path);
// Sets a file's modification time only; the access time stays.
bool SetModificationTime(const std::string& path, std::time_t time);
