#pragma once
#include <cstddef>
#include <memory>
#include <new>
#include <sys/mman.h>

// Allocator for the entries of a listing. A listing of a million entries needs tens of megabytes
// that are all written once; on small pages the page faults of that first write cost a good part
// of the parsing, so large blocks are mapped directly and offered to the kernel as huge pages.
// Small blocks come from the ordinary heap.
template <typename T>
class TIdFTPListItemAllocator {
public:
    using value_type = T;

    TIdFTPListItemAllocator() = default;
    template <typename U>
    TIdFTPListItemAllocator(const TIdFTPListItemAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t count)
    {
        if (count > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_array_new_length();
        const std::size_t bytes = count * sizeof(T);
        if (bytes < kMappedFrom)
            return std::allocator<T>().allocate(count);
        void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block == MAP_FAILED)
            throw std::bad_alloc();
        madvise(block, bytes, MADV_HUGEPAGE);  // only advice: without huge pages it still works
        return static_cast<T*>(block);
    }

    void deallocate(T* block, std::size_t count) noexcept
    {
        const std::size_t bytes = count * sizeof(T);
        if (bytes < kMappedFrom)
            std::allocator<T>().deallocate(block, count);
        else
            munmap(block, bytes);
    }

    template <typename U>
    bool operator==(const TIdFTPListItemAllocator<U>&) const noexcept
    {
        return true;
    }

private:
    static constexpr std::size_t kMappedFrom = std::size_t(4) << 20;
};
