#pragma once
#include "IdException.h"
#include "IdStream.h"

#include <cstddef>
#include <string>
#include <string_view>

class EIdListingTooLarge : public EIdException {
public:
    explicit EIdListingTooLarge(std::size_t limit)
        : EIdException("Directory listing refused: it is larger than " + SizeText(limit) + ".")
    {
    }

private:
    static std::string SizeText(std::size_t bytes)
    {
        if (bytes >= (std::size_t(1) << 30) && bytes % (std::size_t(1) << 30) == 0)
            return std::to_string(bytes >> 30) + " GiB";
        if (bytes >= (std::size_t(1) << 20) && bytes % (std::size_t(1) << 20) == 0)
            return std::to_string(bytes >> 20) + " MiB";
        return std::to_string(bytes) + " bytes";
    }
};

// The bytes of one listing, in one block that grows in place as they arrive: the address range
// for the largest listing is reserved up front and made usable step by step, so growing never
// copies and memory follows the bytes received. Writing beyond the limit raises
// EIdListingTooLarge at once, so an endless listing ends while it arrives.
class TIdFTPListBuffer : public TIdStream {
public:
    static constexpr std::size_t MaxListingBytes = std::size_t(1) << 30;

    explicit TIdFTPListBuffer(std::size_t limit = MaxListingBytes);
    ~TIdFTPListBuffer() override;
    TIdFTPListBuffer(const TIdFTPListBuffer&) = delete;
    TIdFTPListBuffer& operator=(const TIdFTPListBuffer&) = delete;

    std::string_view Bytes() const { return {base_, size_}; }

    size_t Read(char* buffer, size_t count) override;
    void Write(const char* data, size_t count) override;
    int64_t Position() const override { return static_cast<int64_t>(position_); }
    void Seek(int64_t position) override;
    int64_t Size() const override { return static_cast<int64_t>(size_); }
    void SetSize(int64_t size) override;

private:
    void MakeUsable(std::size_t bytes);

    char* base_ = nullptr;
    std::size_t reserved_ = 0;
    std::size_t limit_;
    std::size_t usable_ = 0;
    std::size_t size_ = 0;
    std::size_t position_ = 0;
};
