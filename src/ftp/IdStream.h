#pragma once
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// A file that cannot be opened, read or written; the message names the file and the reason.
class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TIdDigestWorker;

// The byte streams transfers read from and write to. Positions and sizes are 64-bit.
class TIdStream {
public:
    virtual ~TIdStream() = default;
    // Reads up to `count` bytes at the position; 0 at the end.
    virtual size_t Read(char* buffer, size_t count) = 0;
    // Writes all bytes at the position.
    virtual void Write(const char* data, size_t count) = 0;
    virtual int64_t Position() const = 0;
    virtual void Seek(int64_t position) = 0;
    virtual int64_t Size() const = 0;
    // Cuts the stream at `size`.
    virtual void SetSize(int64_t size) = 0;
};

// Bytes in memory; listings are collected in one.
class TIdStringStream : public TIdStream {
public:
    size_t Read(char* buffer, size_t count) override;
    void Write(const char* data, size_t count) override;
    int64_t Position() const override { return position_; }
    void Seek(int64_t position) override { position_ = position; }
    int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
    void SetSize(int64_t size) override;

    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
    int64_t position_ = 0;
};

// A file over a descriptor. A stream not opened yet has position and size 0 and refuses I/O.
class TIdFileStream : public TIdStream {
public:
    TIdFileStream() = default;
    ~TIdFileStream() override;
    TIdFileStream(const TIdFileStream&) = delete;
    TIdFileStream& operator=(const TIdFileStream&) = delete;

    // Creates the file or truncates it.
    void Create(const std::string& path);
    // Opens an existing file for writing, positioned at its end.
    void OpenAppend(const std::string& path);
    // Opens a file for reading; other programs may go on reading and writing it.
    void OpenRead(const std::string& path);
    bool IsOpen() const { return fd_ >= 0; }
    // Writes what is gathered; a failure raises here, so a transfer learns of a full disk.
    void Flush();
    // Gathered bytes are written on a best-effort basis: Flush first to learn of failures.
    void Close();

    size_t Read(char* buffer, size_t count) override;
    void Write(const char* data, size_t count) override;
    int64_t Position() const override;
    void Seek(int64_t position) override;
    int64_t Size() const override;
    void SetSize(int64_t size) override;

    // Reads are fetched and writes gathered in blocks this large: a transfer in chunks of a
    // few KiB would otherwise cost a system call per chunk.
    static constexpr size_t BlockBytes = 256 * 1024;

private:
    void Open(const std::string& path, int flags, const char* action);
    [[noreturn]] void Fail(const char* action) const;
    void WriteThrough(const char* data, size_t count);
    // Forgets bytes read ahead, moving the descriptor back to the stream's position.
    void DropReadAhead();

    int fd_ = -1;
    std::string path_;
    // Bytes gathered for writing, or read ahead (the unread ones from blockStart_ on); a stream
    // is only ever read or written.
    std::vector<char> block_;
    size_t blockStart_ = 0;
    bool writing_ = false;
};

// Passes everything on to another stream, counting each byte read or written and feeding it to
// the digest when there is one: a transfer's bytes are hashed as they stream by, without a
// second pass over the file.
class TIdDigestStream : public TIdStream {
public:
    TIdDigestStream(TIdStream& inner, TIdDigestWorker* digest) : inner_(inner), digest_(digest) {}

    size_t Read(char* buffer, size_t count) override;
    void Write(const char* data, size_t count) override;
    int64_t Position() const override { return inner_.Position(); }
    void Seek(int64_t position) override { inner_.Seek(position); }
    int64_t Size() const override { return inner_.Size(); }
    void SetSize(int64_t size) override { inner_.SetSize(size); }

    // The bytes that went through.
    int64_t Bytes() const { return bytes_; }

private:
    TIdStream& inner_;
    TIdDigestWorker* digest_;
    int64_t bytes_ = 0;
};
