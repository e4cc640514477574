#pragma once
#include <string_view>

// The length of the well-formed UTF-8 sequence the text starts with (no overlong forms, no
// surrogates, nothing above U+10FFFF), 0 when it does not start with one.
size_t Utf8SequenceLength(std::string_view text);
bool IsUtf8(std::string_view text);
// The code point of the sequence the text starts with, U+FFFD when it is not well-formed.
char32_t Utf8CodePoint(std::string_view text);
