// Parses large Unix and DOS listings and compares with awk printing the last field of each line;
// measures the memory a listing of 100,000 entries takes once received and parsed.
#include "ftp/IdFTPList.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <memory>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 5;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

void WriteListing(const std::string& path, long lines, bool dos)
{
    std::ofstream out(path);
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char line[160];
    for (long i = 0; i < lines; ++i) {
        if (dos)
            std::snprintf(line, sizeof line, "%02ld-%02ld-%02ld  %02ld:%02ld%s %20ld file%07ld.dat\r\n", i % 12 + 1,
                          i % 28 + 1, i % 30, i % 12 + 1, i % 60, i % 2 ? "PM" : "AM", i * 37, i);
        else
            std::snprintf(line, sizeof line, "-rw-r--r--   1 user     group    %10ld %s %2ld %s file%07ld.dat\r\n", i * 37,
                          months[i % 12], i % 28 + 1, i % 3 ? "12:34" : " 2019", i);
        out << line;
    }
}

// The listing as the engine holds it after LIST: its bytes in one buffer, written in the
// receive path's chunks.
std::shared_ptr<TIdFTPListBuffer> ReadListing(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    auto bytes = std::make_shared<TIdFTPListBuffer>();
    std::vector<char> chunk(32768);
    while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0)
        bytes->Write(chunk.data(), static_cast<std::size_t>(in.gcount()));
    return bytes;
}

// Times reading the file into the listing buffer and, separately, parsing it into entries.
void TimeParser(const std::string& path, double& readSeconds, double& parseSeconds, std::size_t& entries)
{
    auto start = Clock::now();
    const TIdListLines lines(ReadListing(path));
    readSeconds = Seconds(start);
    TIdFTPListItems items;
    start = Clock::now();
    ParseListing(lines, items);
    parseSeconds = Seconds(start);
    entries = items.Count();
}

long ResidentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Peak memory of holding and parsing the listing, in a child process of its own so that
// earlier runs leave nothing behind: the growth of the peak resident size over the size before.
double PeakMegabytes(const std::string& path, std::size_t& entries)
{
    int result[2];
    if (pipe(result) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        const long before = ResidentKiB();
        const TIdListLines lines(ReadListing(path));
        TIdFTPListItems items;
        ParseListing(lines, items);
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        const double growth[2] = {(usage.ru_maxrss - before) / 1024.0, static_cast<double>(items.Count())};
        const bool written = write(result[1], growth, sizeof growth) == static_cast<ssize_t>(sizeof growth);
        _exit(written ? 0 : 1);
    }
    double growth[2] = {-1, 0};
    const bool read = ::read(result[0], growth, sizeof growth) == static_cast<ssize_t>(sizeof growth);
    waitpid(child, nullptr, 0);
    close(result[0]);
    close(result[1]);
    entries = static_cast<std::size_t>(growth[1]);
    return read ? growth[0] : -1;
}

// awk's own peak resident size over the same file, for scale.
double AwkPeakMegabytes(const std::string& path)
{
    const std::string command = "/usr/bin/time -f %M awk '{print $NF}' '" + path + "' 2>&1 > /dev/null";
    FILE* output = popen(command.c_str(), "r");
    long kib = -1;
    if (output) {
        if (std::fscanf(output, "%ld", &kib) != 1)
            kib = -1;
        pclose(output);
    }
    return kib / 1024.0;
}

double TimeAwk(const std::string& path)
{
    const auto start = Clock::now();
    const std::string command = "awk '{print $NF}' '" + path + "' > /dev/null";
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "awk failed\n");
    return Seconds(start);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    const long lines = argc > 1 ? std::atol(argv[1]) : 1000000;
    const auto dir = std::filesystem::temp_directory_path() / ("marlux-bench-listing-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    bool ok = true;
    for (bool dos : {false, true}) {
        const std::string path = (dir / (dos ? "dos.txt" : "unix.txt")).string();
        WriteListing(path, lines, dos);
        std::size_t entries = 0;
        std::vector<double> reads, parses, awks;
        for (int run = 0; run < kRuns; ++run) {
            double read = 0, parse = 0;
            TimeParser(path, read, parse, entries);
            reads.push_back(read);
            parses.push_back(parse);
            awks.push_back(TimeAwk(path));
        }
        const double read = Median(reads), parse = Median(parses), awk = Median(awks);
        const double ratio = parse / awk;
        std::printf("%s listing, %ld lines (median of %d): parse %.3f s (%zu entries), awk %.3f s, ratio %.2f "
                    "(target <= 2); reading the file into the listing buffer %.3f s more, read+parse ratio %.2f\n",
                    dos ? "DOS" : "Unix", lines, kRuns, parse, entries, awk, ratio, read, (read + parse) / awk);
        ok = ok && ratio <= 2.0 && entries == static_cast<std::size_t>(lines);
    }

    // Memory of a listing of 100,000 entries, held and parsed as the engine does.
    const std::string path = (dir / "memory.txt").string();
    WriteListing(path, 100000, false);
    const double listingMegabytes = static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
    std::size_t entries = 0;
    const double peak = PeakMegabytes(path, entries);
    const double ratio = peak / listingMegabytes;
    std::printf("Unix listing, 100000 lines, %.1f MiB: peak memory %.1f MiB (%zu entries) = %.2f x the listing "
                "(target <= 2); awk's whole process %.1f MiB\n",
                listingMegabytes, peak, entries, ratio, AwkPeakMegabytes(path));
    ok = ok && peak > 0 && ratio <= 2.0 && entries == 100000;

    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
