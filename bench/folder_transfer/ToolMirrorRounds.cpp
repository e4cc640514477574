#include "ToolMirrorRounds.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double TargetAgainstLftp = 1.0;
constexpr double TargetAgainstOneConnection = 0.65;

double MedianOf(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Wall-clock seconds of one shell command; a failure ends the benchmark.
double TimeCommand(const std::string& command)
{
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(2);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Loopback connections closed in the last minute, still holding their ports.
int ClosingConnections()
{
    int closing = 0;
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        std::ifstream in(table);
        std::string line;
        std::getline(in, line);
        while (std::getline(in, line)) {
            // "sl local_address rem_address st ...": state 06 is TIME_WAIT.
            std::istringstream fields(line);
            std::string slot, local, remote, state;
            fields >> slot >> local >> remote >> state;
            closing += state == "06";
        }
    }
    return closing;
}

struct TMirrorTimes {
    std::vector<double> up;
    std::vector<double> down;
};

void PrintRuns(const char* what, const std::vector<double>& times)
{
    std::printf(" %s", what);
    for (double time : times)
        std::printf(" %.2f", time);
}

bool PrintRatio(const char* what, double ours, double base, double target)
{
    const double ratio = ours / base;
    std::printf("  %s: %.2f s against %.2f s, ratio %.2f (target <= %.2f)\n", what, ours, base, ratio, target);
    return ratio <= target;
}

}  // namespace

void WaitForFreePorts()
{
    constexpr int FewEnough = 4000;
    for (int second = 0; second < 120 && ClosingConnections() > FewEnough; ++second)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

bool RunToolMirrorRounds(const TToolMirrorSetup& setup)
{
    const std::string tool = std::string(MARLUX_BIN_DIR) + "/marlux-ftp -u user -p secret 127.0.0.1:" +
                             std::to_string(setup.port) + " mirror ";
    TMirrorTimes four, one, lftp;
    for (int run = 0; run < setup.runs; ++run) {
        const std::string tag = std::to_string(run);
        WaitForFreePorts();
        const auto round = [&](const std::string& name, const std::string& upload, const std::string& download,
                               TMirrorTimes& times) {
            const fs::path down = setup.work / (name + "down" + tag);
            times.up.push_back(TimeCommand(upload + " > /dev/null"));
            setup.checkSame(setup.served / (name + tag), name.c_str());
            times.down.push_back(TimeCommand(download + " > /dev/null"));
            setup.checkSame(down, name.c_str());
        };
        const auto ours = [&](const char* name, int connections, TMirrorTimes& times) {
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
    bool met = PrintRatio("upload, --reverse --parallel 4 against lftp mirror -R --parallel=4", MedianOf(four.up),
                          MedianOf(lftp.up), TargetAgainstLftp);
    met = PrintRatio("download, --parallel 4 against lftp mirror --parallel=4", MedianOf(four.down),
                     MedianOf(lftp.down), TargetAgainstLftp) && met;
    met = PrintRatio("upload, --parallel 4 against its own --parallel 1", MedianOf(four.up), MedianOf(one.up),
                     TargetAgainstOneConnection) && met;
    met = PrintRatio("download, --parallel 4 against its own --parallel 1", MedianOf(four.down), MedianOf(one.down),
                     TargetAgainstOneConnection) && met;
    std::printf("  each run (s), up then down:");
    for (const auto& [what, times] : {std::pair{"--parallel 4", &four}, {"--parallel 1", &one}, {"lftp --parallel=4", &lftp}}) {
        PrintRuns(what, times->up);
        std::printf(" /");
        PrintRuns("", times->down);
    }
    std::printf("\n");
    return met;
}
