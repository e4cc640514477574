#include "ftp/IdPasswordMask.h"

#include <strings.h>

namespace {

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Appends one line (without its line break), masked when it is a PASS command.
void AppendMaskedLine(std::string_view line, std::string& out) {
    size_t verb = 0;
    while (verb < line.size() && IsBlank(line[verb])) ++verb;
    const size_t end = verb + 4;
    bool isPass = line.size() >= end && strncasecmp(line.data() + verb, "PASS", 4) == 0 &&
                  (line.size() == end || IsBlank(line[end]));
    if (isPass) {
        out.append(line.substr(0, end));
        out.append(" ****");
    } else {
        out.append(line);
    }
}

}  // namespace

std::string MaskSentData(std::string_view data) {
    std::string out;
    out.reserve(data.size() + 8);
    size_t start = 0;
    while (start <= data.size()) {
        size_t stop = start;
        while (stop < data.size() && !IsLineBreak(data[stop])) ++stop;
        AppendMaskedLine(data.substr(start, stop - start), out);
        size_t next = stop;
        while (next < data.size() && IsLineBreak(data[next])) ++next;
        out.append(data.substr(stop, next - stop));
        if (next == data.size()) break;
        start = next;
    }
    return out;
}
