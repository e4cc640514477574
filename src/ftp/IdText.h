#pragma once
#include <cstdint>
#include <string_view>

// Removes blanks and control characters from both ends.
std::string_view Trim(std::string_view text);
// A decimal integer with an optional sign filling the whole text; otherwise the default.
int64_t StrToInt64Def(std::string_view text, int64_t fallback);
