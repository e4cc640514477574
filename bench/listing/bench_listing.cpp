// Parses large Unix and DOS listings and compares with awk printing the last field of each line.
#include "ftp/IdFTPList.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
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

// The lines as the engine holds them after LIST: CR LF dropped, one string per line.
std::vector<std::string> ReadLines(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string text(std::filesystem::file_size(path), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t lf = text.find('\n', pos);
        if (lf == std::string::npos)
            lf = text.size();
        const std::size_t end = lf > pos && text[lf - 1] == '\r' ? lf - 1 : lf;
        lines.emplace_back(text, pos, end - pos);
        pos = lf + 1;
    }
    return lines;
}

// Times reading the file into lines and, separately, parsing those lines into entries.
void TimeParser(const std::string& path, double& readSeconds, double& parseSeconds, std::size_t& entries)
{
    auto start = Clock::now();
    std::vector<std::string> lines = ReadLines(path);
    readSeconds = Seconds(start);
    TIdFTPListItems items;
    start = Clock::now();
    ParseListing(std::move(lines), items);
    parseSeconds = Seconds(start);
    entries = items.Count();
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
                    "(target <= 2); reading the file into lines %.3f s more, read+parse ratio %.2f\n",
                    dos ? "DOS" : "Unix", lines, kRuns, parse, entries, awk, ratio, read, (read + parse) / awk);
        ok = ok && ratio <= 2.0 && entries == static_cast<std::size_t>(lines);
    }
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
