// A 1 GiB file downloaded and uploaded through the real window (offscreen, the progress window
// shown, every work report a log line) by aDownload and aUpload, against curl doing the same
// transfers with the same server in the same run; once with the largest buffers a profile
// allows and once with the designed default. Also the longest time the event loop got no turn
// during the window's transfers.
#include "app/MainForm.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "panes/LocalPane.h"
#include "panes/RemotePane.h"
#include "settings/UserDialogs.h"
#include "fixtures/SshServer.h"
#include "sftp/SftpSession.h"
#include "support/TestServer.h"
#include "support/WindowLogin.h"

#include <QAction>
#include <QColor>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::int64_t FileBytes = std::int64_t(1) << 30;
constexpr double MaxGapMs = 50;

struct TBufferCase {
    int bufferSize;
    double targetRatio;
};
constexpr TBufferCase BufferCases[] = {{1000000, 1.15}, {8196, 1.5}};

double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Fail(const std::string& what)
{
    std::fprintf(stderr, "%s\n", what.c_str());
    std::exit(2);
}

std::int64_t FileSize(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_size : -1;
}

void Run(const std::string& command)
{
    if (std::system(command.c_str()) != 0)
        Fail("failed: " + command);
}

void WriteFile(const std::string& path, const std::string& text)
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file || std::fputs(text.c_str(), file) < 0 || std::fclose(file) != 0)
        Fail("cannot write " + path);
}

void MakeRandomFile(const std::string& path)
{
    const int fd = open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    if (fd < 0)
        Fail("cannot create " + path);
    std::mt19937_64 random(43);
    std::vector<std::uint64_t> block(1 << 17);
    for (std::int64_t done = 0; done < FileBytes; done += std::int64_t(block.size() * 8)) {
        for (auto& word : block)
            word = random();
        if (write(fd, block.data(), block.size() * 8) != ssize_t(block.size() * 8))
            Fail("cannot write " + path);
    }
    close(fd);
}

// A loopback port nobody listens on right now.
int FreePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        Fail("no free port");
    close(fd);
    return ntohs(address.sin_port);
}

bool Listening(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return connected;
}

// The server and where its files are: vsftpd (anonymous, as root) when it can run, else the
// test server (pyftpdlib).
struct TServer {
    pid_t pid = 0;
    int port = 0;
    std::string root;      // the directory the transfers use, on disk
    std::string dir;       // the same directory on the server
    std::string user, password;
    std::string name;
    std::string Url(const std::string& file) const
    {
        const std::string login = user == "anonymous" ? "" : user + ":" + password + "@";
        return "ftp://" + login + "127.0.0.1:" + std::to_string(port) + dir + "/" + file;
    }
};

TServer StartVsftpd(const std::string& work)
{
    TServer server;
    server.name = "vsftpd";
    server.port = FreePort();
    server.root = work + "/vs/pub";
    server.dir = "/pub";
    server.user = "anonymous";
    server.password = "bench@";
    Run("mkdir -p '" + server.root + "' && chown ftp '" + server.root + "' && chmod 755 '" + work + "' '" + work +
        "/vs'");
    const std::string config = work + "/vsftpd.conf";
    WriteFile(config, "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=" + std::to_string(server.port) +
                          "\nbackground=NO\nanonymous_enable=YES\nno_anon_password=YES\nanon_root=" + work +
                          "/vs\nwrite_enable=YES\nanon_upload_enable=YES\nanon_other_write_enable=YES\n"
                          "anon_umask=022\nlocal_enable=NO\nseccomp_sandbox=NO\nisolate=NO\nisolate_network=NO\n"
                          "xferlog_enable=NO\n");
    server.pid = fork();
    if (server.pid == 0) {
        execl("/usr/sbin/vsftpd", "/usr/sbin/vsftpd", config.c_str(), (char*)nullptr);
        _exit(127);
    }
    for (int i = 0; i < 100; ++i) {
        if (Listening(server.port))
            return server;
        usleep(100000);
    }
    Fail("vsftpd did not start");
    return server;
}

TServer StartPyftpdlib(const std::string& work)
{
    TServer server;
    server.name = "pyftpdlib";
    server.root = work + "/py";
    server.dir = "";
    server.user = "user";
    server.password = "secret";
    Run("mkdir -p '" + server.root + "'");
    server.port = StartTestServer(server.root, server.pid);
    return server;
}

// The files go to memory when it has room: on a disk, the kernel's write-back stalls every
// writer now and then, client and curl alike, and the figures show the disk. BENCH_DIR=path
// chooses the place.
std::string MakeWorkDirectory()
{
    std::string base = std::getenv("BENCH_DIR") ? std::getenv("BENCH_DIR") : "";
    struct statvfs memory {};
    if (base.empty())
        base = statvfs("/dev/shm", &memory) == 0 && memory.f_bavail * memory.f_frsize > 4 * std::uint64_t(FileBytes)
                   ? "/dev/shm"
                   : "/tmp";
    std::string pattern = base + "/marlux-bench-window-XXXXXX";
    if (!mkdtemp(pattern.data()))
        Fail("cannot make a directory in " + base);
    return pattern;
}

// RUNS=n sets the runs per transfer (at least 3 unless asked); BUFFERS=n runs only that case.
int EnvironmentNumber(const char* name, int fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::atoi(value) : fallback;
}

bool CanRunVsftpd()
{
    return getuid() == 0 && access("/usr/sbin/vsftpd", X_OK) == 0 && std::system("id ftp >/dev/null 2>&1") == 0;
}

// Selects the one row of a file list with that caption.
void SelectRow(TFileViewStack& views, const QString& caption)
{
    const std::vector<TFileRow>& rows = views.Model().Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].entry.name != caption)
            continue;
        QItemSelectionModel* selection = views.Report().selectionModel();
        selection->select(views.Model().index(int(i), 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return;
    }
    Fail("no row " + caption.toStdString());
}

// Measures the longest time between two turns of the event loop while it is armed.
class TLoopGapMeter {
public:
    TLoopGapMeter()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const Clock::time_point now = Clock::now();
            longest_ = std::max(longest_, std::chrono::duration<double, std::milli>(now - last_).count());
            last_ = now;
        });
    }
    void Start()
    {
        last_ = Clock::now();
        timer_.start();
    }
    void Stop()
    {
        // The time from the last turn to the end of the command counts as well.
        longest_ = std::max(longest_, std::chrono::duration<double, std::milli>(Clock::now() - last_).count());
        timer_.stop();
    }
    double LongestMs() const { return longest_; }

private:
    QTimer timer_;
    Clock::time_point last_;
    double longest_ = 0;
};

// Wall and CPU (user + system) seconds of one transfer.
struct TTimes {
    double wall = 0;
    double cpu = 0;
};

// One direction of a case: what the baseline client runs, the window's command with the row it
// selects, and the copy both make.
struct TDirection {
    const char* name;
    std::string baselineCommand;
    TFileViewStack* list;
    const char* row;
    const char* action;
    std::string copy;
    std::vector<TTimes> windowTimes = {};
    std::vector<TTimes> baselineTimes = {};
};

double CpuSeconds(int who)
{
    rusage usage {};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// One command of the window, timed, with the event loop's gaps measured.
TTimes TimeAction(TMainForm& form, const char* name, TLoopGapMeter& gaps)
{
    form.UpdateActionStates();
    QAction* action = form.Action(QString::fromLatin1(name));
    if (!action->isEnabled())
        Fail(std::string(name) + " is not enabled");
    const double cpu = CpuSeconds(RUSAGE_SELF);
    const Clock::time_point start = Clock::now();
    gaps.Start();
    action->trigger();
    WaitForService(form.Service(), std::chrono::hours(1));
    gaps.Stop();
    const TTimes times{Seconds(start), CpuSeconds(RUSAGE_SELF) - cpu};
    QApplication::processEvents();
    return times;
}

TTimes TimeCommand(const std::string& command)
{
    const double cpu = CpuSeconds(RUSAGE_CHILDREN);
    const Clock::time_point start = Clock::now();
    Run(command);
    return {Seconds(start), CpuSeconds(RUSAGE_CHILDREN) - cpu};
}

// Medians of the wall times decide; the CPU times show the clients' own work when other
// processes compete for the machine.
bool Report(const char* what, const std::string& setting, const std::vector<TTimes>& window, const char* baseline,
            const std::vector<TTimes>& curl, double target)
{
    const auto median = [](const std::vector<TTimes>& runs, double TTimes::*field) {
        std::vector<double> values;
        for (const TTimes& run : runs)
            values.push_back(run.*field);
        return Median(values);
    };
    const double ours = median(window, &TTimes::wall), theirs = median(curl, &TTimes::wall);
    const double ratio = ours / theirs;
    const double ourCpu = median(window, &TTimes::cpu), theirCpu = median(curl, &TTimes::cpu);
    std::printf("%-9s %-15s: window %6.3f s (%6.1f MiB/s, CPU %.3f s)  %s %6.3f s (CPU %.3f s)  ratio %.2f "
                "(target <= %.2f)%s  CPU ratio %.2f\n",
                what, setting.c_str(), ours, 1024 / ours, ourCpu, baseline, theirs, theirCpu, ratio, target,
                ratio <= target ? "" : "  MISSED", ourCpu / theirCpu);
    return ratio <= target;
}

// Runs each direction runs times, the baseline and the window alternately, checking every copy's
// size and the first copies' bytes; prints and gives the longest gap between event-loop turns
// during the window's commands.
template <std::size_t Count>
double RunDirections(TMainForm& form, TDirection (&directions)[Count], int runs, const std::string& source)
{
    TLoopGapMeter gaps;
    for (int run = 0; run < runs; ++run) {
        for (TDirection& direction : directions) {
            unlink(direction.copy.c_str());
            direction.baselineTimes.push_back(TimeCommand(direction.baselineCommand));
            unlink(direction.copy.c_str());
            form.LocalPane().FillLocalFileList();
            SelectRow(*direction.list, QString::fromLatin1(direction.row));
            direction.windowTimes.push_back(TimeAction(form, direction.action, gaps));
            if (FileSize(direction.copy) != FileBytes ||
                (run == 0 && std::system(("cmp -s '" + source + "' '" + direction.copy + "'").c_str()) != 0))
                Fail(std::string(direction.action) + ": the copy differs");
        }
    }
    std::printf("          longest gap between event-loop turns: %.1f ms (target < %.0f ms)\n", gaps.LongestMs(),
                MaxGapMs);
    return gaps.LongestMs();
}

// The same two transfers over SFTP, through the window and through OpenSSH's sftp client, from a
// local sshd (started here) with the same cipher on both sides. The served folder is beside the
// local one, in memory where the work directory is.
bool RunSftpCase(TMainForm& form, const std::string& work, const std::string& source, int runs, double& longestGapMs)
{
    constexpr const char* Cipher = "aes128-gcm@openssh.com";
    constexpr double Target = 1.2;
    SshServer server;
    const std::string key = server.AddClientKey("bench", "");
    const std::string served = work + "/sftp";
    Run("mkdir -p '" + served + "' && cp '" + source + "' '" + served + "/big.bin' && chown -R " +
        SshServer::TestUser + " '" + served + "' && chmod 755 '" + work + "'");

    QuitSession(form);
    TSftpSession& sftp = form.Service().Sftp();
    sftp.Host = server.Host();
    sftp.Port = server.Port();
    sftp.Username = SshServer::TestUser;
    sftp.PrivateKeyFile = key;
    sftp.TrustedFingerprint = server.HostKeyFingerprint();
    sftp.Ciphers = Cipher;
    sftp.ReadTimeout = 120000;
    form.Service().UseSftp(true);
    RunJob(form.Service(), [](TRemoteEngine& engine) { engine.Connect(5000); });
    // Logged in by a job of its own, not by the connect command, which would enable these.
    form.SetRemoteMenuEnabled(true);
    form.Controls().RemoteDirBox->setEditText(QString::fromStdString(served));
    form.RemotePane().aRemoteRefreshExecute();
    WaitForService(form.Service());

    const std::string local = QFileInfo(QString::fromStdString(source)).absolutePath().toStdString();
    const auto sftpBatch = [&](const std::string& name, const std::string& line) {
        const std::string batch = work + "/" + name + ".batch";
        WriteFile(batch, line + "\n");
        return "sftp -q -b '" + batch + "' -i '" + key + "' -P " + std::to_string(server.Port()) + " -c " + Cipher +
               " -o StrictHostKeyChecking=no -o UserKnownHostsFile=/dev/null " + SshServer::TestUser +
               "@127.0.0.1 > /dev/null";
    };
    TDirection directions[] = {
        {"download", sftpBatch("get", "get '" + served + "/big.bin' '" + local + "/big.bin'"),
         form.Controls().RemoteFileListView, "big.bin", "aDownload", local + "/big.bin"},
        {"upload", sftpBatch("put", "put '" + source + "' '" + served + "/up.bin'"), form.Controls().LocalFileListView,
         "up.bin", "aUpload", served + "/up.bin"},
    };
    std::printf("1 GiB over SFTP (sshd on loopback, cipher %s), median of %d runs each\n", Cipher, runs);
    longestGapMs = std::max(longestGapMs, RunDirections(form, directions, runs, source));
    bool met = true;
    for (const TDirection& direction : directions)
        met = Report(direction.name, "sftp", direction.windowTimes, "sftp", direction.baselineTimes, Target) && met;
    RunJob(form.Service(), [](TRemoteEngine& engine) { engine.Quit(); });
    form.Service().UseSftp(false);
    return met;
}

// Answers every question with its default and closes every notice, as a user who only aborts.
class TAbortingUser : public TUserDialogs {
public:
    void ShowMessage(const QString&) override {}
    Answer Ask(const QString&, Buttons, Icon) override { return Answer::Cancel; }
    int RunModal(QDialog&) override { return 0; }
    QString BrowseForFolder(const QString&) override { return {}; }
    QColor ChooseColor(const QColor& initial) override { return initial; }
    QString ChooseFileToOpen(const QStringList&, int, const QString&) override { return {}; }
};

// A download from a server that has all but stalled (a few hundred bytes a second), aborted by
// the user one second in: the milliseconds from the abort command until the download command
// has returned.
double AbortLatencyMs(TMainForm& form, const std::string& root)
{
    pid_t pid = 0;
    const int port = StartTestServer(root, pid, false, 512);
    QuitSession(form);
    LogInOnLoopback(form, port, "user", "secret", 120000);
    form.Controls().RemoteDirBox->setEditText(QStringLiteral("/"));
    form.RemotePane().aRemoteRefreshExecute();
    WaitForService(form.Service());
    SelectRow(*form.Controls().RemoteFileListView, QStringLiteral("big.bin"));
    Clock::time_point aborted;
    QTimer::singleShot(1000, [&form, &aborted] {
        aborted = Clock::now();
        form.Action(QStringLiteral("aAbort"))->trigger();
    });
    form.UpdateActionStates();
    form.Action(QStringLiteral("aDownload"))->trigger();
    WaitForService(form.Service());
    if (aborted == Clock::time_point())
        Fail("the stalled download ended before the abort");
    const double latency = std::chrono::duration<double, std::milli>(Clock::now() - aborted).count();

    QuitSession(form);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return latency;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);

    const std::string work = MakeWorkDirectory();
    const std::string local = work + "/local";
    const std::string home = work + "/home";
    Run("mkdir -p '" + local + "' '" + home + "'");
    setenv("MARLUX_HOME", home.c_str(), 1);
    // No connection dialog one second after start-up: the benchmark connects by itself.
    WriteFile(home + "/Marlux.ini", "[CURRENT]\nbConnectDlgOnStart=0\nbShowTransactionDlg=1\n");

    const TServer server = CanRunVsftpd() ? StartVsftpd(work) : StartPyftpdlib(work);
    const std::string source = local + "/up.bin";
    MakeRandomFile(source);
    Run("cp '" + source + "' '" + server.root + "/big.bin'");
    if (server.name == "vsftpd")
        Run("chown ftp '" + server.root + "/big.bin'");
    const std::string downloaded = local + "/big.bin";
    const std::string uploaded = server.root + "/up.bin";

    TMainForm form({QString::fromStdString(local)});
    QApplication::processEvents();
    LogInOnLoopback(form, server.port, server.user, server.password, 120000);
    form.Controls().RemoteDirBox->setEditText(QString::fromStdString(server.dir.empty() ? "/" : server.dir));
    form.RemotePane().aRemoteRefreshExecute();
    WaitForService(form.Service());

    const int runs = std::max(1, EnvironmentNumber("RUNS", 3));
    const int onlyBuffers = EnvironmentNumber("BUFFERS", 0);
    std::printf("1 GiB through %s on loopback, files in %s, median of %d runs each, progress window shown, every "
                "report logged\n",
                server.name.c_str(), work.c_str(), runs);
    bool met = true;
    double longestGapMs = 0;
    for (const TBufferCase& buffers : BufferCases) {
        if (onlyBuffers != 0 && buffers.bufferSize != onlyBuffers)
            continue;
        form.IdFTP1.RecvBufferSize = buffers.bufferSize;
        form.IdFTP1.SendBufferSize = buffers.bufferSize;
        // Both directions: what curl runs, the window's command with the row it selects, and
        // the copy both make.
        TDirection directions[] = {
            {"download", "curl -s -o '" + downloaded + "' '" + server.Url("big.bin") + "'",
             form.Controls().RemoteFileListView, "big.bin", "aDownload", downloaded},
            {"upload", "curl -s -T '" + source + "' '" + server.Url("up.bin") + "'",
             form.Controls().LocalFileListView, "up.bin", "aUpload", uploaded},
        };
        const double gapMs = RunDirections(form, directions, runs, source);
        for (const TDirection& direction : directions)
            met = Report(direction.name, "buffers " + std::to_string(buffers.bufferSize), direction.windowTimes, "curl",
                         direction.baselineTimes, buffers.targetRatio) && met;
        longestGapMs = std::max(longestGapMs, gapMs);
    }

    // The abort latency is a figure to watch, not a target of this benchmark.
    form.SetDialogs(std::make_unique<TAbortingUser>());
    const std::string stalledRoot = work + "/stalled";
    Run("mkdir -p '" + stalledRoot + "' && ln '" + source + "' '" + stalledRoot + "/big.bin'");
    std::printf("abort of a stalled download: the command returned %.0f ms after aAbort\n",
                AbortLatencyMs(form, stalledRoot));

    if (access("/usr/sbin/sshd", X_OK) == 0 && geteuid() == 0)
        met = RunSftpCase(form, work, source, runs, longestGapMs) && met;
    else
        std::printf("SFTP: skipped, it needs root and /usr/sbin/sshd\n");

    form.close();
    kill(server.pid, SIGTERM);
    waitpid(server.pid, nullptr, 0);
    Run("rm -rf '" + work + "'");
    return met && longestGapMs < MaxGapMs ? 0 : 1;
}
