#pragma once
#include "service/FileEntry.h"

#include <cstdint>
#include <optional>
#include <string>

class TRemoteEngine;

// Modification times carried across a transfer, so that the next comparison sees the source's
// time on the copy. On the engine's thread.

// After an upload: the server's copy takes the local time, only where the listings read it back
// to the second (a time seen at the minute, in the server's unknown zone, would not be exact).
void KeepTimeOnServer(TRemoteEngine& engine, const TEntryTime& localTime, const std::string& remoteName);
// For a downloaded file: the exact UTC time where the listing or the server (MDTM) gives one,
// else the listed time read on the local clock; none when nothing gave a time.
std::optional<std::int64_t> DownloadedFileTime(TRemoteEngine& engine, const TEntryTime& listedTime,
                                               const std::string& remoteName);
