#include "platform/LocalEntries.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool SameEntry(const std::string& a, const std::string& b)
{
    struct stat first{}, second{};
    return lstat(a.c_str(), &first) == 0 && lstat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

bool Exists(const std::string& path)
{
    struct stat status{};
    return lstat(path.c_str(), &status) == 0;
}

}  // namespace

bool RenameEntryKeepingTarget(const std::string& from, const std::string& to)
{
    if (from.empty() || to.empty() || from == to)
        return false;
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST) {
        // Two spellings of one entry: a case change on a case-folding file system. Hard links of
        // one file are two entries, and rename(2) would do nothing for them.
        return strcasecmp(from.c_str(), to.c_str()) == 0 && SameEntry(from, to) &&
               std::rename(from.c_str(), to.c_str()) == 0;
    }
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the no-replace flag.
    return Exists(from) && !Exists(to) && std::rename(from.c_str(), to.c_str()) == 0;
}

bool CreateDirectoryEntry(const std::string& path)
{
    return mkdir(path.c_str(), 0777) == 0;
}

bool RemoveEmptyDirectory(const std::string& path)
{
    return rmdir(path.c_str()) == 0;
}

bool RemoveFileEntry(const std::string& path)
{
    struct stat status{};
    return lstat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode) && unlink(path.c_str()) == 0;
}

bool SetModificationTime(const std::string& path, std::time_t time)
{
    const struct timespec times[2] = {{0, UTIME_OMIT}, {time, 0}};
    return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}
