#pragma once
#include <string>

// Server text made safe for a terminal: control characters (C0, DEL and, in UTF-8, C1) are
// shown as \xNN escapes instead of reaching the terminal, where they could move the cursor,
// retitle the window or hide output. Other bytes pass unchanged.
std::string PrintableText(const std::string& text);
