#include "AtomicFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const std::string& data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

EFileWriteError::EFileWriteError(const std::string& path)
    : std::runtime_error(path + " に書き込めません"), path_(path)
{
}

TFileWriteLock::TFileWriteLock(const std::string& path)
{
    fd_ = open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0)
        throw EFileWriteError(path);
    while (flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            close(fd_);
            throw EFileWriteError(path);
        }
    }
}

TFileWriteLock::~TFileWriteLock()
{
    close(fd_);  // closing releases the lock
}

void ReplaceFileContents(const std::string& path, const std::string& text, unsigned creationMode,
                         TReplaceDurability durability)
{
    struct stat existing {};
    const mode_t mode = stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : creationMode;
    const std::string temp = path + ".tmp" + std::to_string(getpid());
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        throw EFileWriteError(path);
    const bool written = fchmod(fd, mode) == 0 && WriteAll(fd, text) &&
                         (durability == TReplaceDurability::Unsynced || fsync(fd) == 0);
    // close reports late write errors of some file systems, so it is checked too.
    if (close(fd) != 0 || !written || rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        throw EFileWriteError(path);
    }
}
