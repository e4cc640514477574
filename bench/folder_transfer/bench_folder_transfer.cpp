// A tree of 2,000 files of 4 KiB in 40 folders (nested up to four levels) uploaded with
// aUploadAll and downloaded again with aDownloadAll through the real window (offscreen, shown,
// progress window on) against a local pyftpdlib server, and in the same run with lftp's
// "mirror -R" and "mirror" over one connection against the same server. Every copy is checked
// byte for byte. Prints the times, the ratios and the commands each client sent.
#include "MultiProcessRounds.h"
#include "RoundFigures.h"
#include "ToolMirrorRounds.h"
#include "app/MainForm.h"
#include "log/Editor.h"
#include "log/FileOperationLog.h"
#include "panes/LocalPane.h"
#include "panes/RemotePane.h"
#include "settings/UserDialogs.h"
#include "transfer/TransferQueue.h"
#include "support/TestServer.h"
#include "support/WindowLogin.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QMap>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int FileSize = 4096;
constexpr int FilesPerFolder = 50;
// The window's time over lftp's: the download must beat lftp, the upload stay well below it.
constexpr double DownloadTarget = 1.0;
constexpr double UploadTarget = 0.9;
// The connections of the parallel rounds.
constexpr int Connections = 4;
// Listing a folder while a large download runs on a throttled server, over listing it idle.
constexpr double BusyListingTarget = 1.5;
constexpr int ListedEntries = 1000;
constexpr std::int64_t LargeFileSize = std::int64_t(1) << 30;
constexpr int ThrottleBytesPerSecond = 20 * 1024 * 1024;

// Answers every question with Yes: the "all" commands ask before they start.
class TAnswerYes : public TUserDialogs {
public:
    void ShowMessage(const QString& text) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
    Answer Ask(const QString&, Buttons, Icon) override { return Answer::Yes; }
    int RunModal(QDialog&) override { return 0; }
    QString BrowseForFolder(const QString&) override { return {}; }
    QColor ChooseColor(const QColor&) override { return {}; }
    QString ChooseFileToOpen(const QStringList&, int, const QString&) override { return {}; }
};

double Seconds(const std::chrono::steady_clock::time_point& start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// CPU seconds (user and system) of this process, all threads.
double OwnCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU seconds (user and system) of another process, from /proc.
double ProcessCpuSeconds(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int index = 3; fields >> field && index <= 15; ++index)
        if (index >= 14)
            ticks += std::stod(field);
    return ticks / double(sysconf(_SC_CLK_TCK));
}

// CPU seconds spent by this process (the window) and by the server over a span.
struct TCpuUse {
    double window = 0;
    double server = 0;

    static TCpuUse Now(pid_t server) { return {OwnCpuSeconds(), ProcessCpuSeconds(server)}; }
    TCpuUse operator-(const TCpuUse& earlier) const { return {window - earlier.window, server - earlier.server}; }
};

// Wall and CPU seconds of one kind of run, one entry per run.
struct TTimings {
    std::vector<double> seconds, windowCpu, serverCpu;

    template <typename Body>
    void Measure(pid_t server, Body body)
    {
        const TCpuUse before = TCpuUse::Now(server);
        const auto start = std::chrono::steady_clock::now();
        body();
        seconds.push_back(Seconds(start));
        const TCpuUse used = TCpuUse::Now(server) - before;
        windowCpu.push_back(used.window);
        serverCpu.push_back(used.server);
    }
};

void WriteFile(const fs::path& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Four top folders; below each three chains of three more levels: 4 + 4 * 3 * 3 = 40 folders,
// 50 files in each.
void MakeTree(const fs::path& root)
{
    unsigned seed = 1;
    const auto fill = [&seed](const fs::path& folder) {
        fs::create_directories(folder);
        for (int i = 0; i < FilesPerFolder; ++i) {
            std::string bytes(FileSize, '\0');
            for (char& c : bytes)
                c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);
            WriteFile(folder / ("file" + std::to_string(i) + ".dat"), bytes);
        }
    };
    for (int top = 0; top < 4; ++top) {
        const fs::path first = root / ("top" + std::to_string(top));
        fill(first);
        for (int chain = 0; chain < 3; ++chain) {
            fs::path folder = first;
            for (int level = 2; level <= 4; ++level) {
                folder /= "level" + std::to_string(level) + "_" + std::to_string(chain);
                fill(folder);
            }
        }
    }
}

// Relative path → content of every file, and the folders, below root.
std::map<std::string, std::string> TreeContents(const fs::path& root)
{
    std::map<std::string, std::string> contents;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
        contents[fs::relative(entry.path(), root).string()] =
            entry.is_directory() ? std::string("<dir>") : ReadFile(entry.path());
    return contents;
}

void CheckSame(const fs::path& copy, const std::map<std::string, std::string>& original, const char* what)
{
    const std::map<std::string, std::string> copied = TreeContents(copy);
    if (copied != original) {
        int missing = 0, differing = 0;
        for (const auto& [name, content] : original) {
            const auto found = copied.find(name);
            if (found == copied.end())
                ++missing;
            else if (found->second != content)
                ++differing;
        }
        std::fprintf(stderr, "%s: the copy differs from the original (%d files missing, %d differing, %d extra)\n",
                     what, missing, differing, int(copied.size()) - (int(original.size()) - missing));
        std::exit(1);
    }
}

// The queue's rows that did not arrive, on stderr: why a copy differs.
void ReportQueueFailures(TMainForm& form)
{
    int failed = 0;
    for (const TQueueRow& row : form.TransferQueue().Model().Rows())
        if (row.Finished() && row.state != TQueueState::Done && ++failed <= 3)
            std::fprintf(stderr, "queue: %s: %s\n", qPrintable(row.remotePath), qPrintable(row.reason));
    if (failed > 0)
        std::fprintf(stderr, "queue: %d files did not arrive\n", failed);
}

// Commands the window sent since the log was last emptied, by command word.
QMap<QString, int> SentCommands(TEditor& log)
{
    QMap<QString, int> counts;
    for (int i = 0; i < log.LineCount(); ++i)
        if (const QString& line = log.Line(i); line.startsWith(QStringLiteral("<< ")))
            ++counts[line.mid(3).section(u' ', 0, 0)];
    return counts;
}

// Commands in lftp's debug output ("---> CMD ...").
QMap<QString, int> LftpCommands(const std::string& debugFile)
{
    QMap<QString, int> counts;
    std::istringstream lines(ReadFile(debugFile));
    for (std::string line; std::getline(lines, line);)
        if (const size_t arrow = line.find("---> "); arrow != std::string::npos)
            ++counts[QString::fromStdString(line.substr(arrow + 5)).section(u' ', 0, 0).trimmed()];
    return counts;
}

void PrintCommands(const char* who, const QMap<QString, int>& counts, int files)
{
    std::printf("  %s:", who);
    for (auto it = counts.begin(); it != counts.end(); ++it)
        std::printf(" %s %d", qPrintable(it.key()), it.value());
    int total = 0;
    for (int count : counts)
        total += count;
    std::printf("  (%.2f per file)\n", double(total) / files);
}

// A per-file cost of the window that has nothing to do with the network, timed alone: the
// file-operation log line.
double FileLogSeconds(const fs::path& dir, int files)
{
    fs::create_directories(dir);
    TFileOperationLog log(QString::fromStdString(dir.string()), [] { return 500; });
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < files; ++i)
        log.AppendFileOperationLog(QStringLiteral("Upload"), QStringLiteral("/tmp/source/top1/level2_0/file%1.dat").arg(i),
                                   QStringLiteral("-->"), QStringLiteral("CURRENT:/ours0/top1/level2_0:file%1.dat").arg(i));
    log.Flush();
    return Seconds(start);
}

}  // namespace

// Runs the event loop until the window's transfer queue has nothing waiting or running.
// Runs the event loop until the queue is empty. The loop sleeps between events as the window's
// own does: a spinning wait would take a core from the server and the connections.
void WaitForQueue(TMainForm& form)
{
    if (!form.TransferQueue().Running())
        return;
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (!form.TransferQueue().Running())
            loop.quit();
    });
    check.start(1);
    loop.exec();
}

// Median time of listing a folder of ListedEntries files in the remote pane, idle and while a
// 1 GiB download runs on other connections from a server throttled to ThrottleBytesPerSecond
// per data connection (its listings too); prints both and returns their ratio.
double ListingDuringDownload(TMainForm& form, const fs::path& work, int runs)
{
    const fs::path served = work / "throttled";
    fs::create_directories(served / "list");
    fs::create_directories(served / "large");
    for (int entry = 0; entry < ListedEntries; ++entry)
        WriteFile(served / "list" / ("entry" + std::to_string(entry) + ".txt"), "x");
    // Sparse: it costs no memory where the tree lives.
    { std::ofstream(served / "large" / "large.bin"); }
    fs::resize_file(served / "large" / "large.bin", std::uintmax_t(LargeFileSize));
    pid_t server = 0;
    const int port = StartTestServer(served, server, false, ThrottleBytesPerSecond);
    LogInOnLoopback(form, port, "user", "secret", 60000);
    const auto list = [&form](const char* folder) {
        form.Controls().RemoteDirBox->setEditText(QString::fromLatin1(folder));
        const auto start = std::chrono::steady_clock::now();
        form.RemotePane().aRemoteRefreshExecute();
        WaitForService(form.Service());
        return Seconds(start);
    };
    const auto timeListings = [&] {
        std::vector<double> times;
        for (int run = 0; run < std::max(runs, 5); ++run) {
            times.push_back(list("/list"));
            list("/");
        }
        return MedianOf(times);
    };
    const double idle = timeListings();

    form.Options().iTransferConnections = Connections;
    const fs::path into = work / "largedown";
    fs::create_directories(into);
    form.LocalPane().ChangeDirectory(QString::fromStdString(into.string()));
    list("/large");
    form.UpdateActionStates();
    form.Action(QStringLiteral("aDownloadAll"))->trigger();
    WaitForService(form.Service());
    // The download flows before the listings are timed.
    while (!fs::exists(into / "large.bin") || fs::file_size(into / "large.bin") < std::uintmax_t(ThrottleBytesPerSecond))
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    const double busy = timeListings();
    const bool stillRunning = form.TransferQueue().Running();
    form.TransferQueue().AbortAll();
    WaitForQueue(form);
    form.Options().iTransferConnections = 1;
    QuitSession(form);
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    std::printf("listing %d entries in the remote pane: idle %.3f s, during a 1 GiB download on %d connections "
                "(%s) %.3f s, ratio %.2f (target <= %.2f)\n",
                ListedEntries, idle, Connections, stillRunning ? "still running" : "ENDED TOO SOON", busy, busy / idle,
                BusyListingTarget);
    return stillRunning ? busy / idle : 1e9;
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int runs = std::max(1, qEnvironmentVariableIntValue("RUNS") ? qEnvironmentVariableIntValue("RUNS") : 3);
    // The trees live in memory where it can be had: on a disk file system a new file costs
    // more the more files were deleted in the last minutes (by earlier runs, by tests), which
    // would time the disk's recent history rather than the two clients.
    std::string pattern = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                          "/marlux-bench-folders-XXXXXX";
    const fs::path work = mkdtemp(pattern.data());
    const fs::path source = work / "source", served = work / "served", home = work / "home";
    MakeTree(source);
    fs::create_directories(served);
    fs::create_directories(home);
    const auto original = TreeContents(source);
    const int files = 40 * FilesPerFolder;
    setenv("MARLUX_HOME", home.c_str(), 1);
    WriteFile(home / "Marlux.ini", "[CURRENT]\nbConnectDlgOnStart=0\n");
    pid_t server = 0;
    const int port = StartTestServer(served, server);

    TMainForm form({});
    form.SetDialogs(std::make_unique<TAnswerYes>());
    QApplication::processEvents();
    LogInOnLoopback(form, port, "user", "secret", 60000);
    form.Options().iMaxLog = 100000000;
    form.Action(QStringLiteral("aTypeBinary"))->trigger();
    const auto runAction = [&form](const char* name) {
        form.UpdateActionStates();
        form.Action(QString::fromLatin1(name))->trigger();
        WaitForService(form.Service(), std::chrono::hours(1));
        WaitForQueue(form);
        // The panes' relist that ends a queue run: the next command reads its listing.
        WaitForService(form.Service());
        QApplication::processEvents();
    };
    const auto showRemote = [&](const std::string& path) {
        form.Controls().RemoteDirBox->setEditText(QString::fromStdString(path));
        form.RemotePane().aRemoteRefreshExecute();
        WaitForService(form.Service());
    };

    const std::string lftp = "HOME=" + home.string() + " lftp -u user,secret -p " + std::to_string(port) +
                             " -e \"set ftp:passive-mode true; set net:max-retries 1; set cmd:fail-exit true; ";
    TTimings ourUp, ourDown, ourPlainUp, lftpUp, lftpDown, parallelUp, parallelDown_, lftpParallelUp, lftpParallelDown;
    QMap<QString, int> ourUpCommands, ourDownCommands;
    // One window command from a local directory; the commands it sent.
    const auto runWindow = [&](const char* action, const fs::path& localDir, TTimings& timings) {
        form.LocalPane().ChangeDirectory(QString::fromStdString(localDir.string()));
        form.LogPane()->Clear();
        timings.Measure(server, [&] { runAction(action); });
        return SentCommands(*form.LogPane());
    };
    const auto runLftp = [&](const std::string& command, TTimings& timings) {
        timings.Measure(server, [&] {
            if (std::system((lftp + command + "; quit\" 127.0.0.1 > /dev/null").c_str()) != 0)
                std::exit(2);
        });
    };
    for (int run = 0; run < runs; ++run) {
        const std::string tag = std::to_string(run);
        WaitForFreePorts();
        fs::create_directories(served / ("ours" + tag));
        showRemote("/ours" + tag);
        ourUpCommands = runWindow("aUploadAll", source, ourUp);
        CheckSame(served / ("ours" + tag), original, "aUploadAll");
        // The same upload without the check after each file, which lftp does not make.
        fs::create_directories(served / ("plain" + tag));
        showRemote("/plain" + tag);
        form.Service().Ftp().VerifyTransfers = false;
        runWindow("aUploadAll", source, ourPlainUp);
        form.Service().Ftp().VerifyTransfers = true;
        CheckSame(served / ("plain" + tag), original, "aUploadAll unchecked");
        showRemote("/ours" + tag);

        const fs::path down = work / ("down" + tag);
        fs::create_directories(down);
        ourDownCommands = runWindow("aDownloadAll", down, ourDown);
        CheckSame(down, original, "aDownloadAll");

        // The same both ways on four connections.
        form.Options().iTransferConnections = Connections;
        fs::create_directories(served / ("parallel" + tag));
        showRemote("/parallel" + tag);
        runWindow("aUploadAll", source, parallelUp);
        ReportQueueFailures(form);
        CheckSame(served / ("parallel" + tag), original, "aUploadAll on four connections");
        const fs::path parallelDown = work / ("paralleldown" + tag);
        fs::create_directories(parallelDown);
        runWindow("aDownloadAll", parallelDown, parallelDown_);
        ReportQueueFailures(form);
        CheckSame(parallelDown, original, "aDownloadAll on four connections");
        form.TransferQueue().RemoveFinished();
        form.Options().iTransferConnections = 1;
        const std::string parallel = " --parallel=" + std::to_string(Connections) + " ";
        runLftp("mirror -R --no-perms" + parallel + source.string() + " /lftpparallel" + tag, lftpParallelUp);
        CheckSame(served / ("lftpparallel" + tag), original, "lftp mirror -R --parallel");
        runLftp("mirror --no-perms" + parallel + "/lftpparallel" + tag + " " + (work / ("lftpparalleldown" + tag)).string(),
                lftpParallelDown);
        CheckSame(work / ("lftpparalleldown" + tag), original, "lftp mirror --parallel");

        runLftp("mirror -R --no-perms --parallel=1 " + source.string() + " /lftp" + tag, lftpUp);
        CheckSame(served / ("lftp" + tag), original, "lftp mirror -R");
        runLftp("mirror --no-perms --parallel=1 /lftp" + tag + " " + (work / ("lftpdown" + tag)).string(), lftpDown);
        CheckSame(work / ("lftpdown" + tag), original, "lftp mirror");
    }
    // The commands lftp sends, from one more run with its debug output (not timed).
    const std::string debug = (work / "lftp.debug").string();
    std::system((lftp + "debug -o " + debug + " 5; mirror -R --no-perms --parallel=1 " + source.string() +
                 " /lftpcount; quit\" 127.0.0.1 > /dev/null")
                    .c_str());
    const QMap<QString, int> lftpUpCommands = LftpCommands(debug);
    fs::remove(debug);
    std::system((lftp + "debug -o " + debug + " 5; mirror --no-perms --parallel=1 /lftpcount " +
                 (work / "lftpcountdown").string() + "; quit\" 127.0.0.1 > /dev/null")
                    .c_str());
    const QMap<QString, int> lftpDownCommands = LftpCommands(debug);

    const double logSeconds = FileLogSeconds(work / "logtest", files);

    const double up = MedianOf(ourUp.seconds), down = MedianOf(ourDown.seconds), baseUp = MedianOf(lftpUp.seconds),
                 baseDown = MedianOf(lftpDown.seconds);
    std::printf("%d files of %d bytes in 40 folders, median of %d runs\n", files, FileSize, runs);
    std::printf("upload:   aUploadAll %.2f s, lftp mirror -R %.2f s, ratio %.2f (target <= %.2f)\n", up, baseUp,
                up / baseUp, UploadTarget);
    const double plainUp = MedianOf(ourPlainUp.seconds);
    std::printf("          without the size check after each file: aUploadAll %.2f s, ratio %.2f\n", plainUp,
                plainUp / baseUp);
    std::printf("download: aDownloadAll %.2f s, lftp mirror %.2f s, ratio %.2f (target <= %.2f)\n", down, baseDown,
                down / baseDown, DownloadTarget);
    std::printf("per %d files, timed alone: file-operation log lines %.2f s\n", files, logSeconds);
    std::printf("CPU seconds (medians): aUploadAll window %.2f, server %.2f (lftp's upload: server %.2f); "
                "aDownloadAll window %.2f, server %.2f (lftp's download: server %.2f)\n",
                MedianOf(ourUp.windowCpu), MedianOf(ourUp.serverCpu), MedianOf(lftpUp.serverCpu),
                MedianOf(ourDown.windowCpu), MedianOf(ourDown.serverCpu), MedianOf(lftpDown.serverCpu));
    const auto printRuns = [](const char* what, const std::vector<double>& times) {
        std::printf(" %s", what);
        for (double time : times)
            std::printf(" %.2f", time);
    };
    std::printf("each run (s):");
    printRuns("aUploadAll", ourUp.seconds);
    printRuns("lftp mirror -R", lftpUp.seconds);
    printRuns("aDownloadAll", ourDown.seconds);
    printRuns("lftp mirror", lftpDown.seconds);
    std::printf("\n");
    std::printf("commands sent:\n");
    PrintCommands("aUploadAll", ourUpCommands, files);
    PrintCommands("lftp mirror -R", lftpUpCommands, files);
    PrintCommands("aDownloadAll", ourDownCommands, files);
    PrintCommands("lftp mirror", lftpDownCommands, files);
    const bool toolMet = RunToolMirrorRounds(
        {.work = work, .source = source, .served = served, .port = port, .runs = runs, .lftp = lftp,
         .checkSame = [&original](const fs::path& copy, const char* what) { CheckSame(copy, original, what); }});

    const double pUp = MedianOf(parallelUp.seconds), pDown = MedianOf(parallelDown_.seconds),
                 lpUp = MedianOf(lftpParallelUp.seconds), lpDown = MedianOf(lftpParallelDown.seconds);
    std::printf("on %d connections:\n", Connections);
    std::printf("upload:   aUploadAll %.2f s, lftp mirror -R --parallel=%d %.2f s, ratio %.2f (target <= %.2f); "
                "over one connection's %.2f s: %.2f (target <= %.2f)\n",
                pUp, Connections, lpUp, pUp / lpUp, TargetAgainstLftp, up, pUp / up, TargetAgainstOneConnection);
    std::printf("download: aDownloadAll %.2f s, lftp mirror --parallel=%d %.2f s, ratio %.2f (target <= %.2f); "
                "over one connection's %.2f s: %.2f (target <= %.2f)\n",
                pDown, Connections, lpDown, pDown / lpDown, TargetAgainstLftp, down, pDown / down, TargetAgainstOneConnection);
    std::printf("CPU seconds (medians): aUploadAll on %d window %.2f, server %.2f (lftp's: server %.2f); "
                "aDownloadAll on %d window %.2f, server %.2f (lftp's: server %.2f)\n",
                Connections, MedianOf(parallelUp.windowCpu), MedianOf(parallelUp.serverCpu),
                MedianOf(lftpParallelUp.serverCpu), Connections, MedianOf(parallelDown_.windowCpu),
                MedianOf(parallelDown_.serverCpu), MedianOf(lftpParallelDown.serverCpu));
    std::printf("each run (s):");
    printRuns("aUploadAll on 4", parallelUp.seconds);
    printRuns("lftp mirror -R --parallel", lftpParallelUp.seconds);
    printRuns("aDownloadAll on 4", parallelDown_.seconds);
    printRuns("lftp mirror --parallel", lftpParallelDown.seconds);
    std::printf("\n");

    QuitSession(form);
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    const bool multiProcessMet = RunMultiProcessRounds({
        .work = work,
        .source = source,
        .home = home,
        .runs = runs,
        .connections = Connections,
        .logIn = [&form](int vsftpdPort) { LogInOnLoopback(form, vsftpdPort, "anonymous", "x", 60000); },
        .logOut = [&form] { QuitSession(form); },
        .runWindow =
            [&](const char* action, const fs::path& localDir, const std::string& remoteDir, int connections) {
                form.Options().iTransferConnections = connections;
                form.LocalPane().ChangeDirectory(QString::fromStdString(localDir.string()));
                showRemote(remoteDir);
                form.LogPane()->Clear();
                const auto start = std::chrono::steady_clock::now();
                runAction(action);
                const double seconds = Seconds(start);
                form.TransferQueue().RemoveFinished();
                form.Options().iTransferConnections = 1;
                return seconds;
            },
        .checkSame = [&original](const fs::path& copy, const char* what) { CheckSame(copy, original, what); },
    });
    const double busyRatio = ListingDuringDownload(form, work, runs);
    form.close();
    fs::remove_all(work);
    const bool parallelMet = pUp / lpUp <= TargetAgainstLftp && pDown / lpDown <= TargetAgainstLftp &&
                             pUp / up <= TargetAgainstOneConnection && pDown / down <= TargetAgainstOneConnection;
    return up / baseUp <= UploadTarget && down / baseDown <= DownloadTarget && parallelMet && toolMet &&
                   multiProcessMet && busyRatio <= BusyListingTarget
               ? 0
               : 1;
}
