#pragma once
#include <cstddef>
#include <string_view>
#include <vector>

// How the bytes of a transfer relate to the local stream: unchanged (type I, and listings,
// which are split at any line end anyway), or as type A text (RFC 959), whose lines end in
// CR LF on the wire and in LF in the files of this system.
enum TIdLineEnds { leUnchanged, leAscii };

// The converters take the data in chunks cut anywhere, so a CR LF may be split between two of
// them. A CR that is not part of a CR LF is a character like any other, both ways. Each result
// is valid until the next call.

// Wire to file: CR LF becomes LF.
class TIdLineEndsToLocal {
public:
    // A CR at the end of the chunk is held back until the next byte shows what it is.
    std::string_view Convert(const char* data, std::size_t count);
    // The end of complete data: a CR held back stands on its own. Data cut short is not
    // finished, so its file ends before a line end that may be unfinished, and a resume from
    // there fetches that line end whole.
    std::string_view Finish();

private:
    std::vector<char> buffer_;
    bool heldCR_ = false;
};

// File to wire: LF becomes CR LF. An LF that follows a CR stays as it is, so a file whose lines
// already end in CR LF goes out with CR LF, not CR CR LF.
class TIdLineEndsToWire {
public:
    std::string_view Convert(const char* data, std::size_t count);

private:
    std::vector<char> buffer_;
    bool afterCR_ = false;
};
