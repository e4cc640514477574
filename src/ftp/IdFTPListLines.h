#pragma once
#include "IdFTPListBuffer.h"

#include <cstddef>
#include <iterator>
#include <memory>
#include <string_view>

// The raw lines of a listing: the bytes as received, read as lines split at CR LF, LF or CR (a
// final line break ends the last line). The lines are views into the bytes; copies share them,
// so entries parsed from the lines stay valid as long as any copy lives.
class TIdListLines {
public:
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = const std::string_view*;
        using reference = std::string_view;

        const_iterator() = default;
        const_iterator(std::string_view rest) : rest_(rest) { Step(); }
        std::string_view operator*() const { return line_; }
        const_iterator& operator++()
        {
            Step();
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator before = *this;
            Step();
            return before;
        }
        bool operator==(const const_iterator& other) const
        {
            return done_ == other.done_ && (done_ || rest_.data() == other.rest_.data());
        }

    private:
        void Step();

        std::string_view rest_;
        std::string_view line_;
        bool done_ = true;
    };

    TIdListLines() = default;
    explicit TIdListLines(std::shared_ptr<const TIdFTPListBuffer> bytes) : bytes_(std::move(bytes)) {}
    // Lines of a text given whole (copied once into a buffer of its own).
    static TIdListLines FromText(std::string_view text);

    std::string_view Text() const { return bytes_ ? bytes_->Bytes() : std::string_view(); }
    const_iterator begin() const { return const_iterator(Text()); }
    const_iterator end() const { return {}; }
    bool empty() const { return Text().empty(); }
    // Counts the lines: a pass over the bytes.
    std::size_t size() const;
    void clear() { bytes_.reset(); }

private:
    std::shared_ptr<const TIdFTPListBuffer> bytes_;
};
