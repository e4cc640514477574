#include "IdFTPListBuffer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

namespace {

std::size_t PageRounded(std::size_t bytes)
{
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

}  // namespace

TIdFTPListBuffer::TIdFTPListBuffer(std::size_t limit) : limit_(limit)
{
    // Reserved address space costs no memory; pages count only once they are made usable and
    // written, so a small listing stays small.
    reserved_ = PageRounded(std::max<std::size_t>(limit, 1));
    void* block = mmap(nullptr, reserved_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (block == MAP_FAILED)
        throw std::bad_alloc();
    base_ = static_cast<char*>(block);
}

TIdFTPListBuffer::~TIdFTPListBuffer()
{
    munmap(base_, reserved_);
}

void TIdFTPListBuffer::MakeUsable(std::size_t bytes)
{
    if (bytes <= usable_)
        return;
    // Geometric steps keep the number of calls small for a large listing.
    const std::size_t wanted = PageRounded(std::max({bytes, usable_ * 2, std::size_t(64) << 10}));
    const std::size_t usable = std::min(wanted, reserved_);
    if (mprotect(base_, usable, PROT_READ | PROT_WRITE) != 0)
        throw std::bad_alloc();
    if (usable >= (std::size_t(2) << 20))
        madvise(base_, usable, MADV_HUGEPAGE);  // advice only: fewer page faults while it fills
    usable_ = usable;
}

size_t TIdFTPListBuffer::Read(char* buffer, size_t count)
{
    const std::size_t n = position_ < size_ ? std::min(count, size_ - position_) : 0;
    std::memcpy(buffer, base_ + position_, n);
    position_ += n;
    return n;
}

void TIdFTPListBuffer::Write(const char* data, size_t count)
{
    if (count > limit_ || position_ > limit_ - count)
        throw EIdListingTooLarge(limit_);
    const std::size_t end = position_ + count;
    MakeUsable(end);
    if (position_ > size_)
        std::memset(base_ + size_, 0, position_ - size_);
    std::memcpy(base_ + position_, data, count);
    position_ = end;
    size_ = std::max(size_, end);
}

void TIdFTPListBuffer::Seek(int64_t position)
{
    position_ = static_cast<std::size_t>(std::max<int64_t>(position, 0));
}

void TIdFTPListBuffer::SetSize(int64_t size)
{
    const auto wanted = static_cast<std::size_t>(std::max<int64_t>(size, 0));
    if (wanted > limit_)
        throw EIdListingTooLarge(limit_);
    MakeUsable(wanted);
    if (wanted > size_)
        std::memset(base_ + size_, 0, wanted - size_);
    size_ = wanted;
    position_ = std::min(position_, size_);
}
