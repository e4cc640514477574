// Listing a directory of 100,000 files into the local pane of the real window (offscreen,
// shown and painted), against "ls -la" on the same directory. Median of five runs each.
#include "app/MainForm.h"
#include "panes/LocalPane.h"

#include <QApplication>
#include <QDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int FileCount = 100000;
constexpr int Runs = 5;
constexpr double TargetRatio = 2.0;
constexpr long MemoryLimitKiB = 150 * 1024;

template <class Work>
double MedianSeconds(Work work)
{
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[Runs / 2];
}

std::string MakeDirectory()
{
    char pattern[] = "/tmp/marlux-bench-pane-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    const char* extensions[] = {".txt", ".html", ".jpg", ".exe", ".dat", ""};
    for (int i = 0; i < FileCount; ++i) {
        const std::string name = dir + "/file" + std::to_string(i * 7919 % FileCount) + extensions[i % 6];
        const int fd = open(name.c_str(), O_CREAT | O_WRONLY, 0644);
        if (fd < 0 || ftruncate(fd, i % 5000) != 0) {
            std::perror(name.c_str());
            std::exit(2);
        }
        close(fd);
    }
    return dir;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const std::string dir = MakeDirectory();
    char homePattern[] = "/tmp/marlux-bench-home-XXXXXX";
    const std::string home = mkdtemp(homePattern);
    setenv("MARLUX_HOME", home.c_str(), 1);
    QDir::setCurrent(QString::fromStdString(dir));

    const std::string ls = "ls -la '" + dir + "' > /dev/null";
    if (std::system(ls.c_str()) != 0)  // warms the cache for both
        return 2;
    const double lsSeconds = MedianSeconds([&] {
        if (std::system(ls.c_str()) != 0)
            std::exit(2);
    });

    TMainForm form({});
    QApplication::processEvents();
    const double paneSeconds = MedianSeconds([&] {
        form.LocalPane().FillLocalFileList();
        QApplication::processEvents();
    });

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double ratio = paneSeconds / lsSeconds;
    std::printf("%d files: pane %.3f s, ls -la %.3f s, ratio %.2f (target <= %.1f)\n", FileCount, paneSeconds,
                lsSeconds, ratio, TargetRatio);
    std::printf("peak memory of the process: %.1f MB (limit 150 MB)\n", usage.ru_maxrss / 1024.0);

    form.close();
    std::system(("rm -rf '" + dir + "' '" + home + "'").c_str());
    return ratio <= TargetRatio && usage.ru_maxrss < MemoryLimitKiB ? 0 : 1;
}
