#pragma once
#include <string>
#include <vector>

// What the benchmark's rounds share: their targets, timing a command, and printing the figures.
constexpr double TargetAgainstLftp = 1.0;
constexpr double TargetAgainstOneConnection = 0.65;

// Up and down times of one kind of round, one entry per run.
struct TRoundTimes {
    std::vector<double> up;
    std::vector<double> down;
};

double MedianOf(std::vector<double> times);
// Wall-clock seconds of one shell command; a failure ends the benchmark.
double TimeCommand(const std::string& command);
// Prints the two medians and their ratio; whether the ratio meets the target.
bool PrintRatio(const char* what, double ours, double base, double target);
// A parallel round (ours, named so) up and down against lftp's parallel round and against the
// same client on one connection (named so); whether all four ratios meet their targets.
bool PrintParallelRatios(const std::string& ours, const TRoundTimes& parallel, const TRoundTimes& lftpParallel,
                         const std::string& single, const TRoundTimes& one);
// " what t1 t2 ... / t1 t2 ...": every run's time up, then down.
void PrintRuns(const char* what, const TRoundTimes& times);

// A round opens some 12,000 data connections; the server's passive ports run out when earlier
// rounds (or tests run just before) still hold theirs, and a client then fails. Waits until
// most are free.
void WaitForFreePorts();
