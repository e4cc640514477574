#pragma once
#include <string>
#include <vector>

// One numbered server reply.
class TIdRFCReply {
public:
    int NumericCode = 0;
    std::string TextCode;
    // One entry per reply line: the line from its fifth character on.
    std::vector<std::string> Text;
    // The reply lines as received.
    std::vector<std::string> Lines;

    void Clear();
    // Parses the collected lines of one reply.
    void ParseLines(const std::vector<std::string>& lines);
    // The text lines, each followed by CR LF.
    std::string JoinedText() const;
};
