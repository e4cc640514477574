#include "IdFTPListLines.h"

#include <algorithm>
#include <cstring>

void TIdListLines::const_iterator::Step()
{
    // rest_ starts at the next line; an empty rest means the lines are done.
    done_ = rest_.empty();
    if (done_)
        return;
    const char* start = rest_.data();
    const char* end = start + rest_.size();
    // The break is searched in windows, so that listings broken by CR alone (or by LF alone)
    // cost one pass, not one pass per line.
    const char* lineEnd = end;
    const char* next = end;
    for (const char* at = start; at != end;) {
        const auto window = std::min<std::size_t>(static_cast<std::size_t>(end - at), 4096);
        const auto* lf = static_cast<const char*>(std::memchr(at, '\n', window));
        const char* limit = lf ? lf : at + window;
        if (const auto* cr = static_cast<const char*>(std::memchr(at, '\r', static_cast<std::size_t>(limit - at)))) {
            lineEnd = cr;
            next = cr + 1 != end && cr[1] == '\n' ? cr + 2 : cr + 1;
            break;
        }
        if (lf) {
            lineEnd = lf;
            next = lf + 1;
            break;
        }
        at = limit;
    }
    line_ = std::string_view(start, static_cast<std::size_t>(lineEnd - start));
    rest_ = std::string_view(next, static_cast<std::size_t>(end - next));
}

TIdListLines TIdListLines::FromText(std::string_view text)
{
    auto bytes = std::make_shared<TIdFTPListBuffer>(std::max(text.size(), std::size_t(1)));
    bytes->Write(text.data(), text.size());
    return TIdListLines(std::move(bytes));
}

std::size_t TIdListLines::size() const
{
    std::size_t count = 0;
    for (auto it = begin(); it != end(); ++it)
        ++count;
    return count;
}
