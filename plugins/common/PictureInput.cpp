#include "common/PictureInput.h"

#include "ImagePluginApi.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Files larger than this are not read into memory; no picture of the allowed size needs it.
constexpr off_t MaxInputBytes = off_t{1} << 30;

class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd) : fd_(fd) {}
    ~TFileDescriptor()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    int Get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

int ReadPictureInput(const char* buf, intptr_t len, unsigned flag, std::vector<unsigned char>& out)
{
    if (len < 0 || (!buf && len > 0))
        return SpiReadError;
    if ((flag & 7) == SpiFromMemory) {
        out.assign(reinterpret_cast<const unsigned char*>(buf), reinterpret_cast<const unsigned char*>(buf) + len);
        return SpiSuccess;
    }
    if ((flag & 7) != SpiFromFile || !buf)
        return SpiReadError;
    // Non-blocking, so a named pipe in place of a picture cannot stall the caller; regular files
    // read the same either way.
    const TFileDescriptor file(open(buf, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat status {};
    if (file.Get() < 0 || fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode))
        return SpiReadError;
    if (status.st_size - len > MaxInputBytes)
        return SpiOutOfMemory;
    if (len > status.st_size || lseek(file.Get(), len, SEEK_SET) != len)
        return SpiReadError;
    out.resize(static_cast<size_t>(status.st_size - len));
    // A file that shrank meanwhile is read as far as it goes.
    size_t done = 0;
    while (done < out.size()) {
        const ssize_t got = read(file.Get(), out.data() + done, out.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return SpiReadError;
        if (got == 0)
            break;
        done += static_cast<size_t>(got);
    }
    out.resize(done);
    return SpiSuccess;
}

size_t ReadFileHead(intptr_t dw, unsigned char* head, size_t size)
{
    if (dw < 0 || dw > 0xFFFF)
        return 0;
    size_t done = 0;
    while (done < size) {
        const ssize_t got = pread(static_cast<int>(dw), head + done, size - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<size_t>(got);
    }
    return done;
}
