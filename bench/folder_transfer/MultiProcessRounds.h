#pragma once
#include <filesystem>
#include <functional>
#include <string>

// What the rounds against a server with a process per session take from the window's.
struct TMultiProcessSetup {
    // Where the downloads go.
    std::filesystem::path work;
    std::filesystem::path source;
    std::filesystem::path home;
    int runs = 1;
    int connections = 4;
    // Logs the window in to the loopback port as "anonymous"; and out.
    std::function<void(int port)> logIn;
    std::function<void()> logOut;
    // Runs a window command with the local pane in localDir and the remote pane in remoteDir,
    // over that many connections; its seconds.
    std::function<double(const char* action, const std::filesystem::path& localDir, const std::string& remoteDir,
                         int connections)>
        runWindow;
    // Ends the benchmark when a copy differs from the source tree.
    std::function<void(const std::filesystem::path&, const char*)> checkSame;
};

// The window and lftp over one and over four connections against vsftpd, which serves every
// session in a process of its own: what more connections gain is then the client's, not capped
// by a single-threaded server's own CPU. Prints the medians and the ratios; false when a ratio
// misses its target.
bool RunMultiProcessRounds(const TMultiProcessSetup& setup);
