#include "ftp/IdStream.h"

#include "ftp/IdDigestWorker.h"

#include <algorithm>
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
    writing_ = (flags & O_WRONLY) != 0;
}

void TIdFileStream::Create(const std::string& path) { Open(path, O_WRONLY | O_CREAT | O_TRUNC, "create"); }

void TIdFileStream::OpenAppend(const std::string& path) {
    Open(path, O_WRONLY, "open");
    if (lseek(fd_, 0, SEEK_END) < 0) Fail("open");
}

void TIdFileStream::OpenRead(const std::string& path) { Open(path, O_RDONLY, "open"); }

void TIdFileStream::Close() {
    if (fd_ >= 0) {
        try {
            Flush();
        } catch (const EStreamError&) {
        }
        close(fd_);
    }
    fd_ = -1;
    block_.clear();
    blockStart_ = 0;
}

void TIdFileStream::Fail(const char* action) const {
    throw EStreamError(std::string("Cannot ") + action + " file \"" + path_ + "\". " + std::strerror(errno));
}

size_t TIdFileStream::Read(char* buffer, size_t count) {
    if (fd_ < 0 || writing_) return 0;
    if (blockStart_ == block_.size()) {
        // A large request goes straight to the file; a small one is served from a block.
        if (count >= BlockBytes) {
            block_.clear();
            blockStart_ = 0;
            for (;;) {
                ssize_t n = read(fd_, buffer, count);
                if (n >= 0) return static_cast<size_t>(n);
                if (errno != EINTR) Fail("read");
            }
        }
        block_.resize(BlockBytes);
        ssize_t n;
        while ((n = read(fd_, block_.data(), BlockBytes)) < 0)
            if (errno != EINTR) {
                block_.clear();
                Fail("read");
            }
        block_.resize(static_cast<size_t>(n));
        blockStart_ = 0;
    }
    const size_t n = std::min(count, block_.size() - blockStart_);
    std::memcpy(buffer, block_.data() + blockStart_, n);
    blockStart_ += n;
    return n;
}

void TIdFileStream::Write(const char* data, size_t count) {
    if (fd_ < 0 || !writing_) {
        errno = EBADF;
        Fail("write");
    }
    if (block_.size() + count > BlockBytes) Flush();
    if (count >= BlockBytes) {
        WriteThrough(data, count);
        return;
    }
    block_.insert(block_.end(), data, data + count);
}

void TIdFileStream::Flush() {
    if (fd_ < 0 || !writing_ || block_.empty()) return;
    // The gathered bytes are handed over once; a failed write raises and they are gone. The
    // block keeps its memory: a fresh one per flush would cost a page fault every 4 KiB.
    try {
        WriteThrough(block_.data(), block_.size());
    } catch (...) {
        block_.clear();
        throw;
    }
    block_.clear();
}

void TIdFileStream::WriteThrough(const char* data, size_t count) {
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

void TIdFileStream::DropReadAhead() {
    if (writing_ || blockStart_ == block_.size()) return;
    lseek(fd_, -static_cast<off_t>(block_.size() - blockStart_), SEEK_CUR);
    block_.clear();
    blockStart_ = 0;
}

int64_t TIdFileStream::Position() const {
    if (fd_ < 0) return 0;
    const int64_t at = lseek(fd_, 0, SEEK_CUR);
    return writing_ ? at + static_cast<int64_t>(block_.size())
                    : at - static_cast<int64_t>(block_.size() - blockStart_);
}

void TIdFileStream::Seek(int64_t position) {
    if (fd_ < 0) return;
    Flush();
    block_.clear();
    blockStart_ = 0;
    if (lseek(fd_, position, SEEK_SET) < 0) Fail("seek in");
}

int64_t TIdFileStream::Size() const {
    struct stat info {};
    if (fd_ < 0 || fstat(fd_, &info) != 0) return 0;
    return writing_ ? std::max<int64_t>(info.st_size, Position()) : info.st_size;
}

void TIdFileStream::SetSize(int64_t size) {
    if (fd_ < 0) return;
    Flush();
    DropReadAhead();
    if (ftruncate(fd_, size) != 0) Fail("write");
}

size_t TIdDigestStream::Read(char* buffer, size_t count) {
    const size_t got = inner_.Read(buffer, count);
    if (digest_) digest_->Update(buffer, got);
    bytes_ += static_cast<int64_t>(got);
    return got;
}

void TIdDigestStream::Write(const char* data, size_t count) {
    inner_.Write(data, count);
    if (digest_) digest_->Update(data, count);
    bytes_ += static_cast<int64_t>(count);
}
