#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Removes blanks and control characters from both ends.
std::string_view Trim(std::string_view text);
// A decimal integer with an optional sign filling the whole text; otherwise the default.
int64_t StrToInt64Def(std::string_view text, int64_t fallback);
// Server text made safe for a terminal or the log: control characters (C0, DEL and, in UTF-8,
// C1) are shown as \xNN escapes instead of passing through, where they could move the cursor,
// retitle the window or hide output. Other bytes pass unchanged.
std::string PrintableText(std::string_view text);
