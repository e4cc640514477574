#include "ftp/IdLineEnds.h"

#include <cstring>

std::string_view TIdLineEndsToLocal::Convert(const char* data, std::size_t count) {
    buffer_.resize(count + 1);
    char* out = buffer_.data();
    const char* const end = data + count;
    if (heldCR_ && data < end) {
        heldCR_ = false;
        if (*data != '\n') *out++ = '\r';
    }
    while (data < end) {
        const auto* cr = static_cast<const char*>(std::memchr(data, '\r', static_cast<std::size_t>(end - data)));
        const char* const stop = cr ? cr : end;
        std::memcpy(out, data, static_cast<std::size_t>(stop - data));
        out += stop - data;
        if (!cr) break;
        if (cr + 1 == end)
            heldCR_ = true;
        else if (cr[1] != '\n')
            *out++ = '\r';
        data = cr + 1;
    }
    return {buffer_.data(), static_cast<std::size_t>(out - buffer_.data())};
}

std::string_view TIdLineEndsToLocal::Finish() {
    if (!heldCR_) return {};
    heldCR_ = false;
    return "\r";
}

std::string_view TIdLineEndsToWire::Convert(const char* data, std::size_t count) {
    buffer_.resize(2 * count);
    char* out = buffer_.data();
    const char* const end = data + count;
    while (data < end) {
        const auto* lf = static_cast<const char*>(std::memchr(data, '\n', static_cast<std::size_t>(end - data)));
        const char* const stop = lf ? lf : end;
        if (stop > data) {
            std::memcpy(out, data, static_cast<std::size_t>(stop - data));
            out += stop - data;
            afterCR_ = stop[-1] == '\r';
        }
        if (!lf) break;
        if (!afterCR_) *out++ = '\r';
        *out++ = '\n';
        afterCR_ = false;
        data = lf + 1;
    }
    return {buffer_.data(), static_cast<std::size_t>(out - buffer_.data())};
}
