#include "platform/IniFile.h"

#include "fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct IniFileTest : ::testing::Test {
    TempDir dir;
    std::string path = dir.File("Marlux.ini");
    TIniFile ini{path};
};

pid_t Fork(const std::function<void()>& child)
{
    const pid_t pid = fork();
    if (pid == 0) {
        child();
        _exit(0);
    }
    return pid;
}

// The creation mode and a failing write are checked where the program writes its settings.
TEST_F(IniFileTest, DefaultsUntilAWriteThenNamesWithoutCaseAndWritesKeepingEveryOtherLineAndTheMode)
{
    EXPECT_EQ(ini.ReadString("CURRENT", "asApplication", "xdg-open"), "xdg-open");
    ini.WriteString("CURRENT", "PROFILE", "CURRENT");
    EXPECT_EQ(TempDir::ReadFile(path), "[CURRENT]\nPROFILE=CURRENT\n");

    // Names match without case, an integer must fit, and writing keeps every other line as it was.
    TempDir::WriteFile(path, "; comment line\r\n[Current]\r\n  iMaxLog = 10  \r\nunknown=keep me\r\nc=2147483648\r\n"
                             "\r\n[Other]\r\nx=1\r\n");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    EXPECT_EQ(ini.ReadInteger("current", "IMAXLOG", 7), 10);
    EXPECT_EQ(ini.ReadInteger("CURRENT", "c", 7), 7);
    ini.WriteString("CURRENT", "LocalMask", "*.*");
    ini.WriteString("New", "k", "v");
    // Several keys at once: existing ones in place, new ones appended in the order given.
    ini.WriteStrings("CURRENT", {{"b", "2"}, {"iMaxLog", "30"}, {"a", "1"}});
    EXPECT_EQ(TempDir::ReadFile(path), "; comment line\r\n[Current]\r\niMaxLog=30\r\nunknown=keep me\r\n"
                                       "c=2147483648\r\nLocalMask=*.*\r\nb=2\r\na=1\r\n\r\n"
                                       "[Other]\r\nx=1\r\n[New]\r\nk=v\r\n");
    ini.EraseSection("current");
    EXPECT_EQ(TempDir::ReadFile(path), "; comment line\r\n[Other]\r\nx=1\r\n[New]\r\nk=v\r\n");
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);  // the mode the user chose
}

TEST_F(IniFileTest, TwoProcessesWritingAtOnceLoseNothing)
{
    std::vector<pid_t> children;
    for (const std::string prefix : {"first", "second"})
        children.push_back(Fork([&] {
            TIniFile writer(path);
            for (int i = 0; i < 60; ++i)
                writer.WriteInteger("CURRENT", prefix + std::to_string(i), i);
        }));
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(ini.ReadSection("CURRENT").size(), 120u);
    EXPECT_EQ(ini.ReadInteger("CURRENT", "first59", -1), 59);
    EXPECT_EQ(ini.ReadInteger("CURRENT", "second59", -1), 59);
}

TEST_F(IniFileTest, KilledWriterAlwaysLeavesACompleteFile)
{
    // The child rewrites a block of keys over and over with a growing round number; whenever
    // it is killed, every key must still hold one complete round of values.
    for (int attempt = 0; attempt < 12; ++attempt) {
        const pid_t child = Fork([&] {
            TIniFile writer(path);
            for (int round = 0;; ++round)
                for (int k = 0; k < 20; ++k)
                    writer.WriteString("CURRENT", "key" + std::to_string(k), std::string(200, char('a' + round % 26)));
        });
        usleep(static_cast<useconds_t>(2000 + attempt * 1500));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);

        const std::string text = TempDir::ReadFile(path);
        if (text.empty())
            continue;  // killed before the first write completed
        ASSERT_EQ(text.rfind("[CURRENT]\n", 0), 0u);
        ASSERT_EQ(text.back(), '\n');
        for (const auto& key : ini.ReadSection("CURRENT"))
            ASSERT_EQ(ini.ReadString("CURRENT", key, "").size(), 200u) << key;
    }
}

}  // namespace
