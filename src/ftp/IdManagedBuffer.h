#pragma once
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

// Received bytes not yet consumed. The socket receives straight into the free room at the end
// (Reserve, then Commit), so bytes are copied once on their way in. Consuming from the front
// only advances an offset until CompactAfter bytes have piled up; then the rest moves to the
// front, so removal is cheap. Emptying the buffer resets it without moving anything.
class TIdManagedBuffer {
public:
    static constexpr size_t CompactAfter = 32768;

    size_t Size() const { return end_ - offset_; }
    bool Empty() const { return Size() == 0; }
    const char* Data() const { return storage_.get() + offset_; }
    std::string_view View() const { return {Data(), Size()}; }

    // Room for `count` more bytes after the unconsumed ones.
    char* Reserve(size_t count) {
        if (capacity_ - end_ < count) MakeRoom(count);
        return storage_.get() + end_;
    }
    // Makes the first `count` bytes of the reserved room part of the buffer.
    void Commit(size_t count) { end_ += count; }

    void Append(const char* data, size_t count) {
        std::memcpy(Reserve(count), data, count);
        Commit(count);
    }

    void Remove(size_t count) {
        offset_ += count;
        if (offset_ == end_) {
            Clear();
        } else if (offset_ >= CompactAfter) {
            std::memmove(storage_.get(), Data(), Size());
            end_ -= offset_;
            offset_ = 0;
        }
    }

    void Clear() { offset_ = end_ = 0; }

    // The offset of the unconsumed part within the storage; tells when compaction happened.
    size_t Offset() const { return offset_; }

private:
    void MakeRoom(size_t count) {
        const size_t size = Size();
        if (capacity_ - size >= count && offset_ > 0) {
            std::memmove(storage_.get(), Data(), size);
        } else {
            const size_t capacity = std::max(capacity_ * 2, size + count);
            auto grown = std::make_unique_for_overwrite<char[]>(capacity);
            if (size > 0) std::memcpy(grown.get(), Data(), size);
            storage_ = std::move(grown);
            capacity_ = capacity;
        }
        offset_ = 0;
        end_ = size;
    }

    std::unique_ptr<char[]> storage_;
    size_t capacity_ = 0;
    size_t offset_ = 0;
    size_t end_ = 0;
};
