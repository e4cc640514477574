#include "platform/Utf8.h"

namespace {

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

}  // namespace

size_t Utf8SequenceLength(std::string_view text)
{
    if (text.empty())
        return 0;
    const auto byte = [&text](size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    // The second byte's range rules out overlong forms, surrogates and values past U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (size_t at = 2; at < length; ++at)
        if (!IsContinuation(byte(at)))
            return 0;
    return length;
}

bool IsUtf8(std::string_view text)
{
    while (!text.empty()) {
        const size_t length = Utf8SequenceLength(text);
        if (length == 0)
            return false;
        text.remove_prefix(length);
    }
    return true;
}

char32_t Utf8CodePoint(std::string_view text)
{
    const size_t length = Utf8SequenceLength(text);
    if (length == 0)
        return U'\uFFFD';
    const auto byte = [&text](size_t at) { return char32_t(static_cast<unsigned char>(text[at])); };
    if (length == 1)
        return byte(0);
    char32_t value = byte(0) & (0x7F >> length);
    for (size_t at = 1; at < length; ++at)
        value = (value << 6) | (byte(at) & 0x3F);
    return value;
}
