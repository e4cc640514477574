#pragma once
#include <filesystem>
#include <functional>
#include <string>

// What the command-line rounds share with the window's: the tree, the server, and lftp.
struct TToolMirrorSetup {
    std::filesystem::path work;
    std::filesystem::path source;
    std::filesystem::path served;
    int port = 0;
    int runs = 1;
    // lftp logged in to the server, up to the commands of its -e option.
    std::string lftp;
    // Ends the benchmark when a copy differs from the source tree.
    std::function<void(const std::filesystem::path&, const char*)> checkSame;
};

// marlux-ftp mirror --parallel 4, downloading and uploading, against lftp's mirror
// --parallel=4 and against itself over one connection; prints the medians and the ratios.
// False when a ratio misses its target.
bool RunToolMirrorRounds(const TToolMirrorSetup& setup);
