#pragma once
#include <stdexcept>
#include <string>

// A failed write of one of the program's files: "<path> に書き込めません".
class EFileWriteError : public std::runtime_error {
public:
    explicit EFileWriteError(const std::string& path);
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Serialises the writers of one file across processes (an advisory lock on path + ".lock");
// released when the object goes away.
class TFileWriteLock {
public:
    explicit TFileWriteLock(const std::string& path);
    ~TFileWriteLock();
    TFileWriteLock(const TFileWriteLock&) = delete;
    TFileWriteLock& operator=(const TFileWriteLock&) = delete;

private:
    int fd_ = -1;
};

// Whether a replaced file is flushed to disk before it takes the old one's place: settings must
// survive a crash; a log rewritten for every line may lose its last lines to one.
enum class TReplaceDurability { Synced, Unsynced };

// Replaces the file with text: written beside it, flushed to disk (Synced) and renamed over it,
// so a reader sees the old file or the new one, whole. An existing file keeps its mode; a new
// one gets creationMode. The caller holds the file's TFileWriteLock.
void ReplaceFileContents(const std::string& path, const std::string& text, unsigned creationMode,
                         TReplaceDurability durability = TReplaceDurability::Synced);
