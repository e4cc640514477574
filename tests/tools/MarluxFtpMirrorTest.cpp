#include "fixtures/FileTimes.h"
#include "fixtures/FileTree.h"
#include "fixtures/FtpServer.h"
#include "fixtures/RandomBytes.h"
#include "fixtures/SshServer.h"
#include "fixtures/VsftpdServer.h"
#include "tools/ToolRun.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace {

// The tool logged in at port on loopback with `login`, running one mirror command.
ProcessResult Mirror(int port, const Strings& login, Strings mirror, Strings options = {})
{
    options.insert(options.end(), login.begin(), login.end());
    mirror.insert(mirror.begin(), "mirror");
    return MarluxFtpAt(port, options, mirror);
}

const Strings FixtureUser{"-u", "user", "-p", "secret"};

// 24 files of assorted sizes in three folders, one of them two levels down, aged so that a copy
// that kept the time of its transfer shows.
void MakeTree(const TempDir& root)
{
    for (int file = 0; file < 24; ++file) {
        const std::string path = root.File((file % 3 == 0 ? "a" : file % 3 == 1 ? "b/deep" : "c d") + std::string("/f") +
                                           std::to_string(file) + ".bin");
        WriteWithFolders(path, RandomBytes(size_t(file) * 1500 + 1, unsigned(file)));
        SetModified(path, 1000000000);
    }
}

// Every file of `copy` has the time of the same file in `source`.
void ExpectSameTimes(const std::string& source, const std::filesystem::path& copy)
{
    for (const auto& entry : std::filesystem::recursive_directory_iterator(source))
        if (entry.is_regular_file()) {
            EXPECT_EQ(std::filesystem::last_write_time(copy / std::filesystem::relative(entry.path(), source)),
                      entry.last_write_time()) << entry.path();
        }
}

std::size_t Occurrences(const std::string& text, const std::string& what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

std::string LastLine(const std::string& text)
{
    const std::string lines = text.substr(0, text.size() - 1);
    return lines.substr(lines.rfind('\n') + 1);
}

// A tree goes up on four connections and back down into a folder with one file the server lacks:
// byte for byte and with their times both ways, the stray file deleted.
void ExpectTreeMirroredBothWays(int port, const Strings& login, const std::string& remote, const std::string& onServer)
{
    TempDir local;
    MakeTree(local);
    const auto original = FileTree(local.Path());
    ProcessResult r = Mirror(port, login, {"--reverse", "--parallel", "4", local.Path(), remote});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(FileTree(onServer), original);
    ExpectSameTimes(local.Path(), onServer);
    EXPECT_EQ(LastLine(r.out), "24 files, 414024 bytes moved, 0 files deleted");

    TempDir back;
    WriteWithFolders(back.File("a/extra.txt"), "not on the server");
    r = Mirror(port, login, {"--parallel", "4", "--delete", back.Path(), remote});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(FileTree(back.Path()), original);
    ExpectSameTimes(local.Path(), back.Path());
    EXPECT_EQ(LastLine(r.out), "24 files, 414024 bytes moved, 1 files deleted");
}

}  // namespace

TEST(MarluxFtpMirror, ADryRunPrintsOneLinePerActionAndChangesNothingAndAFileTheServersEncodingCannotNameFailsAlone)
{
    FtpServer server;
    TempDir local;
    WriteWithFolders(server.File("pub/a.txt"), "12345");
    WriteWithFolders(server.File("pub/old.txt"), "remote");
    WriteWithFolders(server.File("pub/sub/b.txt"), "1234567");
    WriteWithFolders(local.File("stray.txt"), "stray");
    WriteWithFolders(local.File("old.txt"), "local");
    SetModified(local.File("old.txt"), 1000000000);
    const auto serverTree = FileTree(server.Root());
    const auto localTree = FileTree(local.Path());

    ProcessResult r = Mirror(server.Port(), FixtureUser, {"--dry-run", "--delete", "--parallel", "4", local.Path(), "/pub"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "delete stray.txt\nmkdir sub\nget sub/b.txt\nget a.txt\nget old.txt\n"
                     "dry run: 3 files, 18 bytes to move, 1 files to delete\n");

    r = Mirror(server.Port(), FixtureUser, {"--reverse", "--delete", "--only-newer", "--dry-run", local.Path(), "/pub"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    // Folders are never deleted: sub stays, and the upload does not walk it.
    EXPECT_EQ(r.out, "delete a.txt\nskip older old.txt\nput stray.txt\ndry run: 1 files, 5 bytes to move, 1 files to delete\n");

    // A download into a folder that does not exist yet plans it as empty and makes nothing.
    r = Mirror(server.Port(), FixtureUser, {"--dry-run", local.File("new"), "/pub"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(LastLine(r.out), "dry run: 3 files, 18 bytes to move, 0 files to delete");
    EXPECT_EQ(FileTree(server.Root()), serverTree);
    EXPECT_EQ(FileTree(local.Path()), localTree);

    for (const Strings& wrong : {Strings{local.Path()}, {"--parallel", "9", local.Path(), "/pub"}, {"--frob", "a", "b"}}) {
        r = Mirror(server.Port(), FixtureUser, wrong);
        EXPECT_EQ(r.exitStatus, 2);
    }

    // A file whose name the server's encoding cannot carry fails alone, and the exit status says so.
    TempDir named;
    WriteWithFolders(named.File("한글.txt"), "hangul");
    WriteWithFolders(named.File("ok.txt"), "ok");
    r = Mirror(server.Port(), FixtureUser, {"--reverse", named.Path(), "/up"}, {"--encoding", "shift_jis"});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(TempDir::ReadFile(server.File("up/ok.txt")), "ok");
    EXPECT_NE(r.err.find("한글.txt"), std::string::npos) << r.err;
    EXPECT_EQ(LastLine(r.out), "1 files, 2 bytes moved, 0 files deleted, 1 failed");
}

// Deletions on the server are the walk's, checked in the service's tests. On a server that checks
// sizes only, each connection checks what it sent into a folder with one listing of it, not a
// SIZE per file.
TEST(MarluxFtpMirror, FourConnectionsMoveATreeByteExactBothWaysAndSetApartAFileDamagedBeforeItsFoldersCheck)
{
    FtpServer server;
    ExpectTreeMirroredBothWays(server.Port(), FixtureUser, "/up", server.File("up"));

    TempDir local;
    for (const char* folder : {"a", "b", "c"})
        for (int file = 0; file < 16; ++file)
            WriteWithFolders(local.File(std::string(folder) + "/f" + std::to_string(file) + ".bin"),
                             std::string(std::size_t(3000 + file), char('a' + file)));
    // Cut short on the server once it has arrived: only the check can tell.
    const std::string victim = server.File("checked/b/f0.bin");
    std::atomic<bool> done = false;
    std::thread cutter([&] {
        const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        std::error_code error;
        while (!done && std::chrono::steady_clock::now() < bound) {
            if (std::filesystem::file_size(victim, error) == 3000 && !error) {
                TempDir::WriteFile(victim, "cut");
                return;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    const ProcessResult r =
        Mirror(server.Port(), FixtureUser, {"--reverse", "--parallel", "4", local.Path(), "/checked"}, {"-v"});
    done = true;
    cutter.join();

    EXPECT_EQ(r.exitStatus, 3) << r.err;
    EXPECT_NE(r.out.find("47 files, "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(", 1 failed"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("Verification failed for \"/checked/b/f0.bin\""), std::string::npos) << r.err;
    EXPECT_TRUE(std::filesystem::exists(server.File("checked/b/f0.bin.part")));
    EXPECT_EQ(TempDir::ReadFile(server.File("checked/c/f15.bin")), std::string(3015, char('a' + 15)));
    // Only the ".part" name is asked by SIZE; each connection lists each folder at most once.
    EXPECT_EQ(Occurrences(r.err, "<< SIZE "), 1u) << r.err;
    EXPECT_LE(Occurrences(r.err, "<< MLSD /checked/"), 3u * 4u);
}

TEST(MarluxFtpMirror, FourSftpConnectionsMoveATreeByteExactBothWaysAndDeleteWhatTheSourceLacks)
{
    SshServer server;
    ExpectTreeMirroredBothWays(server.Port(), {"--sftp", "-u", SshServer::TestUser, "-p", SshServer::TestPassword,
                                               "--trust", server.HostKeyFingerprint()}, "up", server.File("up"));
}

TEST(MarluxFtpMirror, AServerRefusingTheFourthConnectionStillGetsEveryFileOverTheOthers)
{
    VsftpdServer server(VsftpdServer::TAccess::Writable, "max_per_ip=3\n");
    TempDir local;
    MakeTree(local);
    // This vsftpd does not change root: its folder is named by its path.
    const ProcessResult r = Mirror(server.Port(), {"-u", "anonymous", "-p", "guest"},
                                   {"--reverse", "--parallel", "4", local.Path(), server.Root()}, {"-v"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_NE(r.err.find("an extra connection was refused"), std::string::npos);
    EXPECT_EQ(FileTree(server.Root()), FileTree(local.Path()));
}
