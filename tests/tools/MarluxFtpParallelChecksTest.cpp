// `marlux-ftp mirror --reverse --parallel N` on a server that checks sizes only: each
// connection checks what it sent into a folder with one listing of it, not a SIZE per file.
#include "fixtures/FileTree.h"
#include "fixtures/FtpServer.h"
#include "tools/ToolRun.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

namespace {

namespace fs = std::filesystem;

std::size_t Occurrences(const std::string& text, const std::string& what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

TEST(MarluxFtpParallelChecks, AFileDamagedBeforeItsFoldersCheckFailsTheRunAndIsSetApart)
{
    FtpServer server;
    TempDir local;
    for (const char* folder : {"a", "b", "c"})
        for (int file = 0; file < 16; ++file)
            WriteWithFolders(local.File(std::string(folder) + "/f" + std::to_string(file) + ".bin"),
                             std::string(std::size_t(3000 + file), char('a' + file)));
    // Cut short on the server once it has arrived: only the check can tell.
    const std::string victim = server.File("up/b/f0.bin");
    std::atomic<bool> done = false;
    std::thread cutter([&] {
        const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        std::error_code error;
        while (!done && std::chrono::steady_clock::now() < bound) {
            if (fs::file_size(victim, error) == 3000 && !error) {
                TempDir::WriteFile(victim, "cut");
                return;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    const ProcessResult r = MarluxFtpAt(server.Port(), {"-v", "-u", FtpServer::User, "-p", FtpServer::Password},
                                        {"mirror", "--reverse", "--parallel", "4", local.Path(), "/up"});
    done = true;
    cutter.join();

    EXPECT_EQ(r.exitStatus, 3) << r.err;
    EXPECT_NE(r.out.find("47 files, "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(", 1 failed"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("Verification failed for \"/up/b/f0.bin\""), std::string::npos) << r.err;
    EXPECT_TRUE(fs::exists(server.File("up/b/f0.bin.part")));
    EXPECT_EQ(TempDir::ReadFile(server.File("up/c/f15.bin")), std::string(3015, char('a' + 15)));
    // Only the ".part" name is asked by SIZE; each connection lists each folder at most once.
    EXPECT_EQ(Occurrences(r.err, "<< SIZE "), 1u) << r.err;
    EXPECT_LE(Occurrences(r.err, "<< MLSD /up/"), 3u * 4u);
}

}  // namespace
