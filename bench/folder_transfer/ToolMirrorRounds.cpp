#include "ToolMirrorRounds.h"

#include "RoundFigures.h"

#include <cstdio>

namespace fs = std::filesystem;

bool RunToolMirrorRounds(const TToolMirrorSetup& setup)
{
    const std::string tool = std::string(MARLUX_BIN_DIR) + "/marlux-ftp -u user -p secret 127.0.0.1:" +
                             std::to_string(setup.port) + " mirror ";
    TRoundTimes four, one, lftp;
    for (int run = 0; run < setup.runs; ++run) {
        const std::string tag = std::to_string(run);
        WaitForFreePorts();
        const auto round = [&](const std::string& name, const std::string& upload, const std::string& download,
                               TRoundTimes& times) {
            const fs::path down = setup.work / (name + "down" + tag);
            times.up.push_back(TimeCommand(upload + " > /dev/null"));
            setup.checkSame(setup.served / (name + tag), name.c_str());
            times.down.push_back(TimeCommand(download + " > /dev/null"));
            setup.checkSame(down, name.c_str());
        };
        const auto ours = [&](const char* name, int connections, TRoundTimes& times) {
            const std::string parallel = "--parallel " + std::to_string(connections) + " ";
            const std::string remote = "/" + std::string(name) + tag;
            round(name, tool + "--reverse " + parallel + setup.source.string() + " " + remote,
                  tool + parallel + (setup.work / (std::string(name) + "down" + tag)).string() + " " + remote, times);
        };
        ours("tool4_", 4, four);
        ours("tool1_", 1, one);
        const std::string remote = "/lftp4_" + tag;
        round("lftp4_", setup.lftp + "mirror -R --no-perms --parallel=4 " + setup.source.string() + " " + remote + "; quit\" 127.0.0.1",
              setup.lftp + "mirror --no-perms --parallel=4 " + remote + " " + (setup.work / ("lftp4_down" + tag)).string() +
                  "; quit\" 127.0.0.1",
              lftp);
    }
    std::printf("marlux-ftp mirror, median of %d runs:\n", setup.runs);
    const bool met = PrintParallelRatios("--parallel 4", four, lftp, "its own --parallel 1", one);
    std::printf("  each run (s), up then down:");
    PrintRuns("--parallel 4", four);
    PrintRuns("--parallel 1", one);
    PrintRuns("lftp --parallel=4", lftp);
    std::printf("\n");
    return met;
}
