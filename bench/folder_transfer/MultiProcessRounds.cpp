#include "MultiProcessRounds.h"

#include "RoundFigures.h"
#include "fixtures/VsftpdServer.h"

#include <cstdio>

namespace fs = std::filesystem;

bool RunMultiProcessRounds(const TMultiProcessSetup& setup)
{
    VsftpdServer server(VsftpdServer::TAccess::Writable);
    // This vsftpd does not change its root: every path names the served folder in full.
    const fs::path served = server.Root();
    const std::string lftp = "HOME=" + setup.home.string() + " lftp -u anonymous,x -p " + std::to_string(server.Port()) +
                             " -e \"set ftp:passive-mode true; set net:max-retries 1; set cmd:fail-exit true; ";
    setup.logIn(server.Port());
    TRoundTimes one, four, lftpOne, lftpFour;
    for (int run = 0; run < setup.runs; ++run) {
        WaitForFreePorts();
        const auto round = [&](const std::string& name, int connections, bool window, TRoundTimes& times) {
            const fs::path up = served / (name + std::to_string(run));
            const fs::path down = setup.work / ("vsftpd" + name + "down" + std::to_string(run));
            fs::create_directories(down);
            if (window) {
                fs::create_directories(up);
                times.up.push_back(setup.runWindow("aUploadAll", setup.source, up.string(), connections));
                setup.checkSame(up, name.c_str());
                times.down.push_back(setup.runWindow("aDownloadAll", down, up.string(), connections));
            } else {
                const std::string mirror = lftp + "mirror --no-perms --parallel=" + std::to_string(connections) + " ";
                times.up.push_back(TimeCommand(mirror + "-R " + setup.source.string() + " " + up.string() +
                                               "; quit\" 127.0.0.1 > /dev/null"));
                setup.checkSame(up, name.c_str());
                times.down.push_back(
                    TimeCommand(mirror + up.string() + " " + down.string() + "; quit\" 127.0.0.1 > /dev/null"));
            }
            setup.checkSame(down, name.c_str());
        };
        round("window", 1, true, one);
        round("windowparallel", setup.connections, true, four);
        round("lftp", 1, false, lftpOne);
        round("lftpparallel", setup.connections, false, lftpFour);
    }
    setup.logOut();

    std::printf("against vsftpd (a process per session), median of %d runs:\n", setup.runs);
    const bool met = PrintParallelRatios("window on 4", four, lftpFour, "its own 1 connection", one);
    std::printf("  lftp --parallel=4 against its own --parallel=1: upload %.2f, download %.2f\n",
                MedianOf(lftpFour.up) / MedianOf(lftpOne.up), MedianOf(lftpFour.down) / MedianOf(lftpOne.down));
    std::printf("  each run (s), up then down:");
    PrintRuns("window on 1", one);
    PrintRuns("window on 4", four);
    PrintRuns("lftp --parallel=1", lftpOne);
    PrintRuns("lftp --parallel=4", lftpFour);
    std::printf("\n");
    return met;
}
