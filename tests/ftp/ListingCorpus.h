#pragma once
#include "ftp/IdFTPList.h"

#include <cstdint>
#include <string>
#include <vector>

// Listing lines as real servers send them, each with the entry a user should see.
struct CorpusLine {
    const char* source;
    std::string line;
    TIdFTPListFormat format;
    TIdDirItemType kind;
    std::int64_t size;
    const char* modified;  // "YYYY-MM-DD HH:MM:SS.mmm", in the server's clock
    TIdTimePrecision precision;
    std::string name;
    std::string linkTarget;
    // Checked where given.
    const char* owner = nullptr;
    const char* group = nullptr;
    int linkCount = -1;
};

// The day the corpus is read on: dates without a year are placed relative to it.
extern const TDateParts CorpusToday;

const std::vector<CorpusLine>& UnixCorpus();
const std::vector<CorpusLine>& DosCorpus();
// Lines of systems this client does not read; every one must be refused.
const std::vector<std::string>& ForeignCorpus();

// Lines joined into a listing's text, each ended by CR LF.
std::string ListingText(const std::vector<std::string>& lines);
