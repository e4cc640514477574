#include "platform/IniFile.h"

#include "fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
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

TEST_F(IniFileTest, MissingFileGivesDefaultsAndWritesNothing)
{
    EXPECT_EQ(ini.ReadString("CURRENT", "asApplication", "xdg-open"), "xdg-open");
    EXPECT_EQ(ini.ReadInteger("CURRENT", "iMaxLog", 500), 500);
    EXPECT_TRUE(ini.ReadBool("CURRENT", "bAuto", true));
    EXPECT_TRUE(ini.ReadSections().empty());
    EXPECT_NE(access(path.c_str(), F_OK), 0);
}

TEST_F(IniFileTest, IntegersDecimalHexAndNonNumbers)
{
    TempDir::WriteFile(path, "[CURRENT]\niMaxLog=0x1F4\na=0X10\nb=-12\nc=abc\nd=12abc\n"
                             "f=2147483647\ng=2147483648\nh=0xFFFFFFFF\n");
    EXPECT_EQ(ini.ReadInteger("CURRENT", "iMaxLog", 7), 500);
    EXPECT_EQ(ini.ReadInteger("CURRENT", "a", 7), 16);
    EXPECT_EQ(ini.ReadInteger("CURRENT", "b", 7), -12);
    EXPECT_EQ(ini.ReadInteger("CURRENT", "c", 7), 7);
    EXPECT_EQ(ini.ReadInteger("CURRENT", "d", 7), 7);
    EXPECT_EQ(ini.ReadInteger("CURRENT", "f", 7), 2147483647);
    EXPECT_EQ(ini.ReadInteger("CURRENT", "g", 7), 7);
    EXPECT_EQ(ini.ReadInteger("CURRENT", "h", 7), -1);
}

TEST_F(IniFileTest, BooleansAndColours)
{
    TempDir::WriteFile(path, "[CURRENT]\nbReport=0\nbList=5\nbSmallIcon=yes\niIntColor=-2147483646\n");
    EXPECT_FALSE(ini.ReadBool("CURRENT", "bReport", true));
    EXPECT_TRUE(ini.ReadBool("CURRENT", "bList", false));
    EXPECT_FALSE(ini.ReadBool("CURRENT", "bSmallIcon", false));
    EXPECT_TRUE(ini.ReadBool("CURRENT", "bSmallIcon", true));
    EXPECT_EQ(ini.ReadInteger("CURRENT", "iIntColor", 0), -2147483646);
    ini.WriteBool("CURRENT", "bReport", true);
    ini.WriteBool("CURRENT", "bList", false);
    EXPECT_EQ(TempDir::ReadFile(path), "[CURRENT]\nbReport=1\nbList=0\nbSmallIcon=yes\niIntColor=-2147483646\n");
}

TEST_F(IniFileTest, NamesCompareWithoutCaseAndMisspeltKeyStaysApart)
{
    TempDir::WriteFile(path, "[Current]\niPanelRUHeight=300\nIPANELRUHEITHT=120\n");
    EXPECT_EQ(ini.ReadInteger("CURRENT", "iPanelRUHeitht", 107), 120);
    EXPECT_EQ(ini.ReadInteger("current", "ipanelruheitht", 107), 120);
    TempDir::WriteFile(path, "[CURRENT]\niPanelRUHeight=300\n");
    EXPECT_EQ(ini.ReadInteger("CURRENT", "iPanelRUHeitht", 107), 107);
}

TEST_F(IniFileTest, StringsAreCutAt2047Characters)
{
    const std::string longValue(3000, 'x');
    ini.WriteString("CURRENT", "asApplication", longValue);
    EXPECT_EQ(ini.ReadString("CURRENT", "asApplication", ""), std::string(2047, 'x'));
    ini.WriteString("CURRENT", "exact", std::string(2047, 'y'));
    EXPECT_EQ(ini.ReadString("CURRENT", "exact", "").size(), 2047u);
}

TEST_F(IniFileTest, WriteKeepsEveryOtherLineByteForByte)
{
    const std::string before = "; comment line\r\n[CURRENT]\r\n  iMaxLog = 10  \r\nunknown=keep me\r\n\r\n"
                               "[Other]\r\nx=1\r\n";
    TempDir::WriteFile(path, before);
    ini.WriteInteger("CURRENT", "iMaxLog", 20);
    EXPECT_EQ(TempDir::ReadFile(path), "; comment line\r\n[CURRENT]\r\niMaxLog=20\r\nunknown=keep me\r\n\r\n"
                                       "[Other]\r\nx=1\r\n");
    ini.WriteString("CURRENT", "LocalMask", "*.*");
    EXPECT_EQ(TempDir::ReadFile(path), "; comment line\r\n[CURRENT]\r\niMaxLog=20\r\nunknown=keep me\r\n"
                                       "LocalMask=*.*\r\n\r\n[Other]\r\nx=1\r\n");
    ini.WriteString("New", "k", "v");
    EXPECT_EQ(ini.ReadString("new", "K", ""), "v");
    EXPECT_EQ(ini.ReadString("Other", "x", ""), "1");
    // Several keys at once: existing ones in place, new ones appended in the order given.
    ini.WriteStrings("CURRENT", {{"b", "2"}, {"iMaxLog", "30"}, {"a", "1"}});
    EXPECT_EQ(TempDir::ReadFile(path), "; comment line\r\n[CURRENT]\r\niMaxLog=30\r\nunknown=keep me\r\n"
                                       "LocalMask=*.*\r\nb=2\r\na=1\r\n\r\n[Other]\r\nx=1\r\n[New]\r\nk=v\r\n");
}

TEST_F(IniFileTest, WriteCreatesFileWithItsCreationModeAndKeepsExistingMode)
{
    ini.WriteString("CURRENT", "PROFILE", "CURRENT");
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    chmod(path.c_str(), 0640);
    ini.WriteString("CURRENT", "PROFILE", "other");
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(TempDir::ReadFile(path), "[CURRENT]\nPROFILE=other\n");

    TIniFile shared(dir.File("Shared.ini"));
    shared.SetCreationMode(0644);
    shared.WriteString("Key", "x", "1");
    ASSERT_EQ(stat(dir.File("Shared.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST_F(IniFileTest, SectionsKeysEraseAndDelete)
{
    TempDir::WriteFile(path, "[DEFAULT]\na=1\n[CURRENT]\nb=2\nc=3\n[host.example]\nHOST=h\n");
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"DEFAULT", "CURRENT", "host.example"}));
    EXPECT_EQ(ini.ReadSection("current"), (std::vector<std::string>{"b", "c"}));
    EXPECT_TRUE(ini.SectionExists("Default"));
    EXPECT_TRUE(ini.ValueExists("CURRENT", "C"));
    ini.DeleteKey("CURRENT", "b");
    EXPECT_FALSE(ini.ValueExists("CURRENT", "b"));
    ini.EraseSection("current");
    EXPECT_EQ(TempDir::ReadFile(path), "[DEFAULT]\na=1\n[host.example]\nHOST=h\n");
}

TEST_F(IniFileTest, SectionNamesAreCappedAt16384Bytes)
{
    std::string text;
    const std::string name(99, 's');  // 100 bytes with its terminator
    for (int i = 0; i < 200; ++i)
        text += "[" + name.substr(0, 96) + std::to_string(100 + i) + "]\n";
    TempDir::WriteFile(path, text);
    const auto names = ini.ReadSections();
    EXPECT_EQ(names.size(), 163u);  // 163 * 100 + 1 fits, 164 would not
    EXPECT_EQ(names.front(), name.substr(0, 96) + "100");
}

TEST_F(IniFileTest, FailedWriteNamesTheFile)
{
    TempDir::WriteFile(dir.File("blocker"), "");
    TIniFile bad(dir.File("blocker") + "/Marlux.ini");
    try {
        bad.WriteString("CURRENT", "k", "v");
        FAIL() << "write into a path below a file succeeded";
    } catch (const EIniWriteError& e) {
        EXPECT_EQ(std::string(e.what()), dir.File("blocker") + "/Marlux.ini に書き込めません");
    }
}

void WriteKeys(const std::string& path, const std::string& prefix, int count)
{
    TIniFile ini(path);
    for (int i = 0; i < count; ++i)
        ini.WriteInteger("CURRENT", prefix + std::to_string(i), i);
}

TEST_F(IniFileTest, TwoProcessesWritingAtOnceLoseNothing)
{
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            WriteKeys(path, c == 0 ? "first" : "second", 60);
            _exit(0);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const auto keys = ini.ReadSection("CURRENT");
    EXPECT_EQ(keys.size(), 120u);
    for (int i = 0; i < 60; i += 7) {
        EXPECT_EQ(ini.ReadInteger("CURRENT", "first" + std::to_string(i), -1), i);
        EXPECT_EQ(ini.ReadInteger("CURRENT", "second" + std::to_string(i), -1), i);
    }
}

TEST_F(IniFileTest, KilledWriterAlwaysLeavesACompleteFile)
{
    // The child rewrites a block of keys over and over with a growing round number; whenever
    // it is killed, every key must still hold one complete round of values.
    for (int attempt = 0; attempt < 12; ++attempt) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TIniFile writer(path);
            for (int round = 0;; ++round)
                for (int k = 0; k < 20; ++k)
                    writer.WriteString("CURRENT", "key" + std::to_string(k), std::string(200, char('a' + round % 26)));
        }
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
