// File transfers. Downloads keep several read requests in flight, so that a transfer is bound
// by the cipher rather than by round trips; libssh before 0.11 has no asynchronous write, so
// uploads send large writes one after another.
#include "sftp/SftpSession.h"

#include "sftp/SftpException.h"

#include <libssh/libssh.h>
#include <libssh/sftp.h>

#include <algorithm>
#include <deque>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace {

// 2 MiB asked for ahead, as OpenSSH's client does: larger reads or more of them were not faster
// (libssh reads its socket 4 KiB at a time, which sets the pace on loopback).
constexpr uint32_t ReadChunk = 64 * 1024;
// Requests in flight: few at first, so that a small file costs no flood of reads past its end;
// doubled with every full answer up to the most.
constexpr std::size_t FirstReadsInFlight = 2;
constexpr std::size_t MostReadsInFlight = 32;
// OpenSSH takes messages of up to 256 KiB.
constexpr std::size_t WriteChunk = 252 * 1024;

// The length of a local file, nothing when there is none.
std::optional<int64_t> LocalFileLength(const std::string& path)
{
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0)
        return std::nullopt;
    return info.st_size;
}

}  // namespace

void TSftpSession::Get(const std::string& remoteName, TIdStream& destination, bool resume)
{
    RequireConnected();
    TSftpWait wait(watchdog_, ReadTimeout);
    TRemoteFile file = OpenRemote(remoteName, O_RDONLY, 0);
    Receive(file.get(), destination, resume ? destination.Position() : 0, {});
}

void TSftpSession::Get(const std::string& remoteName, const std::string& localFile, bool mayOverwrite, bool resume)
{
    RequireConnected();
    const std::optional<int64_t> existing = LocalFileLength(localFile);
    if (existing && mayOverwrite == resume)
        throw EIdFTPFileAlreadyExists();
    const bool append = existing && resume;
    TSftpWait wait(watchdog_, ReadTimeout);
    // The local file is touched only once the server has answered the first read: a refused
    // download (no such file, a folder) leaves an existing local file as it was.
    TRemoteFile file = OpenRemote(remoteName, O_RDONLY, 0);
    TIdFileStream local;
    Receive(file.get(), local, append ? *existing : 0, [&] {
        if (append)
            local.OpenAppend(localFile);
        else
            local.Create(localFile);
    });
    // The last gathered bytes: a disk that fills up now fails the download too.
    local.Flush();
}

void TSftpSession::Receive(sftp_file_struct* file, TIdStream& destination, int64_t offset,
                           const std::function<void()>& answered)
{
    // The size is not asked for (a round trip per file): callers know it from the listing.
    BeginWork(wkReceive, 0);
    try {
        Download(file, offset, destination, answered);
    } catch (...) {
        EndWork(wkReceive);
        throw;
    }
    EndWork(wkReceive);
}

void TSftpSession::Download(sftp_file_struct* file, int64_t offset, TIdStream& destination,
                            const std::function<void()>& answered)
{
    struct TRequest {
        int id;
        int64_t offset;
    };
    std::deque<TRequest> inFlight;
    int64_t next = offset;
    bool ended = false;
    auto request = [&] {
        sftp_seek64(file, static_cast<uint64_t>(next));
        const int id = sftp_async_read_begin(file, ReadChunk);
        if (id < 0)
            Fail("Download");
        inFlight.push_back({id, next});
        next += ReadChunk;
    };
    std::vector<char> buffer(ReadChunk);
    auto await = [&](const TRequest& request) {
        return sftp_async_read(file, buffer.data(), ReadChunk, static_cast<uint32_t>(request.id));
    };
    try {
        std::size_t window = FirstReadsInFlight;
        while (inFlight.size() < window)
            request();
        while (!inFlight.empty()) {
            const TRequest done = inFlight.front();
            inFlight.pop_front();
            const int got = await(done);
            if (got < 0)
                Fail("Download");
            watchdog_.Progress();
            if (answered && done.offset == offset)
                answered();
            // Replies still due are collected before anything ends the transfer.
            if (ended || watchdog_.AbortRequested())
                continue;
            if (got == 0) {
                ended = true;
                continue;
            }
            destination.Write(buffer.data(), static_cast<std::size_t>(got));
            StepWork(wkReceive, got);
            // A short answer before the end leaves a gap, read before anything after it.
            for (int64_t at = done.offset + got; at < done.offset + ReadChunk;) {
                sftp_seek64(file, static_cast<uint64_t>(at));
                const ssize_t more = sftp_read(file, buffer.data(), static_cast<std::size_t>(done.offset + ReadChunk - at));
                if (more < 0)
                    Fail("Download");
                watchdog_.Progress();
                if (more == 0) {
                    ended = true;
                    break;
                }
                destination.Write(buffer.data(), static_cast<std::size_t>(more));
                StepWork(wkReceive, more);
                at += more;
            }
            if (got == static_cast<int>(ReadChunk))
                window = std::min(window * 2, MostReadsInFlight);
            while (!ended && inFlight.size() < window)
                request();
        }
    } catch (...) {
        // Left unread, the replies would stay queued in libssh for the rest of the session.
        if (Connected())
            for (const TRequest& due : inFlight)
                if (await(due) < 0)
                    break;
        throw;
    }
    CheckAbort();
}

void TSftpSession::Put(TIdStream& source, const std::string& remoteName, bool append)
{
    RequireConnected();
    TSftpWait wait(watchdog_, ReadTimeout);
    int64_t offset = 0;
    TRemoteFile file;
    if (append) {
        file = OpenRemote(remoteName, O_WRONLY | O_CREAT, 0644);
        sftp_attributes attributes = sftp_fstat(file.get());
        if (!attributes)
            Fail(remoteName);
        offset = (attributes->flags & SSH_FILEXFER_ATTR_SIZE) ? static_cast<int64_t>(attributes->size) : 0;
        sftp_attributes_free(attributes);
    } else {
        file = OpenRemote(remoteName, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    BeginWork(wkSend, std::max<int64_t>(0, source.Size() - source.Position()));
    try {
        Upload(source, file.get(), offset);
        // The server reports a failed final write (a full disk) at the close.
        if (sftp_close(file.release()) != SSH_OK)
            Fail(remoteName);
    } catch (...) {
        EndWork(wkSend);
        throw;
    }
    EndWork(wkSend);
}

void TSftpSession::Put(const std::string& localFile, const std::string& remoteName, bool append)
{
    TIdFileStream local;
    local.OpenRead(localFile);
    Put(local, remoteName, append);
}

void TSftpSession::Upload(TIdStream& source, sftp_file_struct* file, int64_t offset)
{
    sftp_seek64(file, static_cast<uint64_t>(offset));
    std::vector<char> buffer(WriteChunk);
    for (;;) {
        CheckAbort();
        const std::size_t count = source.Read(buffer.data(), buffer.size());
        if (count == 0)
            break;
        if (sftp_write(file, buffer.data(), count) != static_cast<ssize_t>(count))
            Fail("Upload");
        watchdog_.Progress();
        StepWork(wkSend, static_cast<int64_t>(count));
    }
}
