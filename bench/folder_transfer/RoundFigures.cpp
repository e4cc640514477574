#include "RoundFigures.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

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

}  // namespace

double MedianOf(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double TimeCommand(const std::string& command)
{
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(2);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool PrintRatio(const char* what, double ours, double base, double target)
{
    const double ratio = ours / base;
    std::printf("  %s: %.2f s against %.2f s, ratio %.2f (target <= %.2f)\n", what, ours, base, ratio, target);
    return ratio <= target;
}

bool PrintParallelRatios(const std::string& ours, const TRoundTimes& parallel, const TRoundTimes& lftpParallel,
                         const std::string& single, const TRoundTimes& one)
{
    bool met = PrintRatio(("upload, " + ours + " against lftp mirror -R --parallel=4").c_str(), MedianOf(parallel.up),
                          MedianOf(lftpParallel.up), TargetAgainstLftp);
    met = PrintRatio(("download, " + ours + " against lftp mirror --parallel=4").c_str(), MedianOf(parallel.down),
                     MedianOf(lftpParallel.down), TargetAgainstLftp) && met;
    met = PrintRatio(("upload, " + ours + " against " + single).c_str(), MedianOf(parallel.up), MedianOf(one.up),
                     TargetAgainstOneConnection) && met;
    return PrintRatio(("download, " + ours + " against " + single).c_str(), MedianOf(parallel.down),
                      MedianOf(one.down), TargetAgainstOneConnection) && met;
}

void PrintRuns(const char* what, const TRoundTimes& times)
{
    std::printf(" %s", what);
    for (double time : times.up)
        std::printf(" %.2f", time);
    std::printf(" /");
    for (double time : times.down)
        std::printf(" %.2f", time);
}

void WaitForFreePorts()
{
    constexpr int FewEnough = 4000;
    for (int second = 0; second < 120 && ClosingConnections() > FewEnough; ++second)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}
