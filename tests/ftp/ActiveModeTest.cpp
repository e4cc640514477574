#include "EngineSessions.h"
#include "fixtures/RandomBytes.h"
#include "ftp/IdAbortSignal.h"
#include "ftp/IdException.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

constexpr int Engines = 4;
constexpr int Files = 200;

std::string FileName(int engine, int file) {
    return "e" + std::to_string(engine) + "-" + std::to_string(file) + ".bin";
}

// Small files of different sizes, none a multiple of another's.
std::string FileContent(int engine, int file) {
    return RandomBytes(700 + static_cast<size_t>(file) * 13 + static_cast<size_t>(engine),
                       static_cast<unsigned>(engine * Files + file));
}

class ActiveMode : public ::testing::TestWithParam<bool> {};

}  // namespace

// Several connections to one server, each on its own thread, move many small files in active
// mode: every PORT (EPRT on IPv6) gets its reply and every file arrives byte for byte.
TEST_P(ActiveMode, SeveralEnginesOnThreadsMoveManySmallFilesByteExact) {
    FtpServer server({.ipv6 = GetParam()});
    for (int e = 0; e < Engines; ++e)
        for (int f = 0; f < Files; ++f) TempDir::WriteFile(server.File(FileName(e, f)), FileContent(e, f));
    TempDir local;

    std::vector<std::thread> threads;
    for (int e = 0; e < Engines; ++e) {
        threads.emplace_back([&, e] {
            int file = 0;
            try {
                TIdFTP ftp;
                AimAtServer(ftp, server.Host(), server.Port(), false);
                ftp.Connect(true, 5000);
                // Down, then each file back up under a new name, so both directions alternate.
                for (; file < Files; ++file) {
                    const std::string name = FileName(e, file);
                    ftp.Get(name, local.File(name), true);
                    ftp.Put(local.File(name), "up-" + name);
                }
                ftp.Disconnect();
            } catch (const std::exception& error) {
                ADD_FAILURE() << "engine " << e << ", file " << file << ": " << error.what();
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    ASSERT_FALSE(HasFailure());
    for (int e = 0; e < Engines; ++e)
        for (int f = 0; f < Files; ++f) {
            const std::string name = FileName(e, f);
            ASSERT_EQ(TempDir::ReadFile(local.File(name)), FileContent(e, f)) << name;
            ASSERT_EQ(TempDir::ReadFile(server.File("up-" + name)), FileContent(e, f)) << name;
        }
}

INSTANTIATE_TEST_SUITE_P(Families, ActiveMode, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "IPv6" : "IPv4"; });

// pyftpdlib answers PORT only once its connection to the listener is made; when that never
// comes, the time-out (or an abort request, well before it) fails the transfer, and ABOR
// withdraws the PORT: whether the server then gives the PORT up or answers it late, the next
// command gets its own reply. A server that answers nothing at all is dropped, not waited for.
TEST(ActiveModePort, AnUnansweredPortFailsTheTransferInBoundedTimeAndAborKeepsTheSessionInStep) {
    struct Case { std::string name, afterAbor; bool abortRequested; };
    for (const Case& c : std::vector<Case>{{"port given up", "225 ABOR command successful.\r\n", false},
                                           {"port answered late", "425 No connection.\r\n226 ABOR ok\r\n", false},
                                           {"abort requested", "225 ABOR command successful.\r\n", true},
                                           {"silent server", "", false}}) {
        SCOPED_TRACE(c.name);
        const bool answers = !c.afterAbor.empty();
        ScriptedSession s(c.abortRequested ? 5000 : 300);
        s.ftp.Passive = false;
        s.control.ExpectLine().Reply(c.afterAbor);
        if (answers) s.control.Reply("257 \"/\"\r\n");
        s.Start();
        TIdAbortSignal signal;
        s.ftp.AbortSignal = &signal;
        const DelayedAbort requester(signal, c.abortRequested ? 200 : -1);
        TIdStringStream stream;
        const auto took = Timed([&] {
            if (c.abortRequested) EXPECT_THROW(s.ftp.Get("x", stream), EIdConnClosedGracefully);
            else EXPECT_THROW(s.ftp.Get("x", stream), EIdConnectTimeout);
        });
        EXPECT_LT(took, std::chrono::milliseconds(c.abortRequested ? 1000 : 1500));
        EXPECT_EQ(s.ftp.DataChannel(), nullptr);
        EXPECT_EQ(s.ftp.Connected(), answers);
        EXPECT_TRUE(!answers || s.ftp.CurrentDirectory() == "/");
        const std::vector<std::string> lines = s.Finish();
        ASSERT_GE(lines.size(), 6u);
        EXPECT_EQ(lines[4].rfind("PORT ", 0), 0u) << lines[4];
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 5, lines.end()),
                  (answers ? std::vector<std::string>{"ABOR", "PWD"} : std::vector<std::string>{"ABOR"}));
    }
}
