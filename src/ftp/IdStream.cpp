#include "ftp/IdStream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

size_t TIdStringStream::Read(char* buffer, size_t count) {
    if (position_ >= Size()) return 0;
    size_t n = std::min(count, static_cast<size_t>(Size() - position_));
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += static_cast<int64_t>(n);
    return n;
}

void TIdStringStream::Write(const char* data, size_t count) {
    size_t at = static_cast<size_t>(position_);
    if (at > bytes_.size()) bytes_.resize(at);
    if (at == bytes_.size())
        bytes_.append(data, count);
    else
        bytes_.replace(at, std::min(count, bytes_.size() - at), data, count);
    position_ += static_cast<int64_t>(count);
}

void TIdStringStream::SetSize(int64_t size) {
    bytes_.resize(static_cast<size_t>(size));
    if (position_ > size) position_ = size;
}

TIdFileStream::~TIdFileStream() { Close(); }

void TIdFileStream::Open(const std::string& path, int flags, const char* action) {
    Close();
    path_ = path;
    fd_ = open(path.c_str(), flags | O_CLOEXEC, 0644);
    if (fd_ < 0) Fail(action);
}

void TIdFileStream::Create(const std::string& path) { Open(path, O_WRONLY | O_CREAT | O_TRUNC, "create"); }

void TIdFileStream::OpenAppend(const std::string& path) {
    Open(path, O_WRONLY, "open");
    if (lseek(fd_, 0, SEEK_END) < 0) Fail("open");
}

void TIdFileStream::OpenRead(const std::string& path) { Open(path, O_RDONLY, "open"); }

void TIdFileStream::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

void TIdFileStream::Fail(const char* action) const {
    throw EStreamError(std::string("Cannot ") + action + " file \"" + path_ + "\". " + std::strerror(errno));
}

size_t TIdFileStream::Read(char* buffer, size_t count) {
    if (fd_ < 0) return 0;
    for (;;) {
        ssize_t n = read(fd_, buffer, count);
        if (n >= 0) return static_cast<size_t>(n);
        if (errno != EINTR) Fail("read");
    }
}

void TIdFileStream::Write(const char* data, size_t count) {
    if (fd_ < 0) {
        errno = EBADF;
        Fail("write");
    }
    while (count > 0) {
        ssize_t n = write(fd_, data, count);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail("write");
        }
        data += n;
        count -= static_cast<size_t>(n);
    }
}

int64_t TIdFileStream::Position() const { return fd_ < 0 ? 0 : lseek(fd_, 0, SEEK_CUR); }

void TIdFileStream::Seek(int64_t position) {
    if (fd_ >= 0 && lseek(fd_, position, SEEK_SET) < 0) Fail("seek in");
}

int64_t TIdFileStream::Size() const {
    struct stat info {};
    return fd_ >= 0 && fstat(fd_, &info) == 0 ? info.st_size : 0;
}

void TIdFileStream::SetSize(int64_t size) {
    if (fd_ >= 0 && ftruncate(fd_, size) != 0) Fail("write");
}
