#pragma once
#include <cstddef>
#include <cstring>
#include <string_view>
#include <vector>

// Received bytes not yet consumed. Consuming from the front only advances an offset until
// CompactAfter bytes have piled up; then the rest moves to the front, so removal is cheap.
class TIdManagedBuffer {
public:
    static constexpr size_t CompactAfter = 32768;

    size_t Size() const { return bytes_.size() - offset_; }
    bool Empty() const { return Size() == 0; }
    const char* Data() const { return bytes_.data() + offset_; }
    std::string_view View() const { return {Data(), Size()}; }

    void Append(const char* data, size_t count) { bytes_.insert(bytes_.end(), data, data + count); }

    void Remove(size_t count) {
        offset_ += count;
        if (offset_ == bytes_.size()) {
            bytes_.clear();
            offset_ = 0;
        } else if (offset_ >= CompactAfter) {
            bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset_));
            offset_ = 0;
        }
    }

    void Clear() {
        bytes_.clear();
        offset_ = 0;
    }

    // The offset of the unconsumed part within the storage; tells when compaction happened.
    size_t Offset() const { return offset_; }

private:
    std::vector<char> bytes_;
    size_t offset_ = 0;
};
