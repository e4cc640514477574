#include "WalkHost.h"
#include "fixtures/VsftpdServer.h"
#include "ftp/IdException.h"
#include "platform/DateTime.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class FolderWalkTest : public WalkScene {
protected:
    // Commands sent since the last MarkStart.
    std::size_t Sent(const std::string& prefix) const { return session_.sent.Count(prefix); }
    void MarkStart() { session_.sent.lines.clear(); }
};

TEST_F(FolderWalkTest, AThreeLevelTreeTakesOneListingPerLevelAndCwdInAndOutWithoutPwdEitherWay)
{
    WriteWithFolders(Local("top.txt"), "top");
    WriteWithFolders(Local("a/one.bin"), std::string(5000, '\x01'));
    WriteWithFolders(Local("a/b/two.txt"), "two\r\n");
    const auto original = FileTree(session_.local.Path());
    // The commands of the walk itself; checking each file afterwards asks its SIZE of this server.
    session_.ftp.VerifyTransfers = false;

    MarkStart();
    TFolderWalk(host_, {}).Upload(LocalRoot(), QString());
    EXPECT_EQ(FileTree(session_.server.Root()), original);
    // The folders it made hold nothing to list.
    EXPECT_EQ(Sent("MLSD") + Sent("LIST") + Sent("NLST"), 1u);
    EXPECT_EQ(Sent("CWD"), 4u);
    EXPECT_EQ(Sent("PWD"), 1u);
    EXPECT_EQ(Sent("MKD"), 2u);
    EXPECT_EQ(session_.ftp.CurrentDirectory(), "/");

    TempDir back;
    MarkStart();
    TFolderWalk(host_, {}).Download(QString::fromStdString(back.Path()), QString());
    EXPECT_EQ(FileTree(back.Path()), original);
    EXPECT_EQ(Sent("MLSD") + Sent("LIST") + Sent("NLST"), 3u);
    EXPECT_EQ(Sent("CWD"), 4u);
    EXPECT_EQ(Sent("PWD"), 1u);
    EXPECT_EQ(Sent("SIZE"), 0u);
    EXPECT_EQ(host_.createdFolders, (std::vector<QString>{QStringLiteral("a"), QStringLiteral("b")}));

    // One folder of the directory: its parent is listed once to find its name on the server.
    TempDir single;
    MarkStart();
    TFolderWalk(host_, {}).Download(QString::fromStdString(single.Path()), QStringLiteral("a"));
    EXPECT_EQ(FileTree(single.Path() + "/a"), FileTree(session_.local.Path() + "/a"));
    EXPECT_EQ(Sent("MLSD") + Sent("LIST") + Sent("NLST"), 3u);
    EXPECT_EQ(Sent("CWD"), 4u);
}

// A folder of several files is checked with one listing after them, a lone file by SIZE; a file
// damaged on the server between its upload and the check is found and set apart.
TEST_F(FolderWalkTest, UploadsAreCheckedTogetherPerFolderAndADamagedOneIsSetApart)
{
    for (const char* name : {"a.bin", "b.bin", "c.bin", "sub/d1.bin", "sub/d2.bin", "sub/e/lone.bin"})
        WriteWithFolders(Local(name), std::string(3000, name[0]));
    // Cut short on the server after it arrived, just before the listing that checks it.
    bool cSent = false;
    session_.sent.onLine = [&](const std::string& line) {
        if (line == "STOR c.bin")
            cSent = true;
        else if (cSent && line == "MLSD")
            TempDir::WriteFile(Remote("c.bin"), "cut");
    };

    MarkStart();
    TFolderWalk(host_, {}).Upload(LocalRoot(), QString());
    // Folders go first: sub's two, then the top level's three; sub/e's lone file on its own.
    EXPECT_EQ(host_.checkedTogether, (std::vector<std::size_t>{2, 3}));
    EXPECT_EQ(Sent("SIZE"), 2u);  // the lone file, and the ".part" name before the rename
    // The top level's listing before, and the two batched checks; not the folders it made.
    EXPECT_EQ(Sent("MLSD"), 1u + 2u);
    // Setting it apart, and the deferral's end once settled, are DeferredChecksByFolder's.
    EXPECT_EQ(host_.damaged, (std::vector<std::string>{"c.bin"}));
}

TEST_F(FolderWalkTest, TheLocalMaskChoosesWhatGoesAndMirroringDeletesOnlyRemoteFilesWithoutALocalEntry)
{
    for (const char* name : {"a.htm", "b.html", "hidden.txt"})
        WriteWithFolders(Local(name), "local");
    WriteWithFolders(Local("sub/inner.htm"), "inner");
    for (const char* name : {"old.html", "old.log", "hidden.txt", "B.HTML"})
        WriteWithFolders(Remote(name), "remote");

    TFolderWalk::TSettings settings{.localMask = QStringLiteral(" *.htm* "),
                                    .rules = {.mirror = true, .noDeleteExtensions = {".LOG"}}};
    TFolderWalk(host_, settings).Upload(LocalRoot(), QString());
    EXPECT_EQ(TempDir::ReadFile(Remote("a.htm")), "local");
    EXPECT_FALSE(TempDir::Exists(Remote("old.html")));
    // NoDeleteExtList and names that exist locally (letter case aside, mask or not) stay.
    EXPECT_TRUE(TempDir::Exists(Remote("old.log")));
    EXPECT_EQ(TempDir::ReadFile(Remote("hidden.txt")), "remote");
    EXPECT_TRUE(TempDir::Exists(Remote("B.HTML")));
    // The mask hides the folder sub as well.
    EXPECT_FALSE(TempDir::Exists(Remote("sub")));
    EXPECT_EQ(host_.files, (std::vector<QString>{QStringLiteral("a.htm"), QStringLiteral("b.html")}));
}

TEST(FolderWalkRemoteMaskTest, TheRemoteMaskGoesWithEachListingAndTheServerAppliesIt)
{
    // pyftpdlib takes a mask for a path; vsftpd matches it, as most servers do.
    VsftpdServer server(VsftpdServer::TAccess::Writable);
    for (const char* name : {"a.log", "b.txt", "logs.log/inner.log", "logs.log/inner.txt", "other/c.log"})
        WriteWithFolders(server.File(name), name);
    TIdFTP engine;
    SentCommands sent;
    sent.Attach(engine);
    LogInAnonymously(engine, server);
    TDirectWalkHost host(engine);
    TempDir back;
    TFolderWalk(host, {.remoteMask = QStringLiteral(" *.log ")}).Download(QString::fromStdString(back.Path()), QString());
    EXPECT_EQ(host.files, (std::vector<QString>{QStringLiteral("inner.log"), QStringLiteral("a.log")}));
    EXPECT_FALSE(TempDir::Exists(back.File("other")));
    EXPECT_EQ(sent.Count("LIST *.log"), 2u);
}

// 2004-05-01 at a time of day, in seconds from 1970-01-01 00:00 on whatever clock names it.
std::int64_t MayDay(int hour, int minute, int second)
{
    using namespace std::chrono;
    return (sys_days(2004y / 5 / 1) + hours(hour) + minutes(minute) + seconds(second)).time_since_epoch().count();
}

TFileEntry Entry(const char* name, std::int64_t seconds, TTimePrecision precision, bool utc)
{
    return {.name = QString::fromLatin1(name),
            .modified = {.point = TEntryTime::TPoint(std::chrono::seconds(seconds)), .precision = precision, .utc = utc}};
}

// A local file whose time the local clock reads as 2004-05-01 hour:minute:second.
TFileEntry LocalFile(const char* name, int hour, int minute, int second)
{
    return Entry(name, InstantOfLocalClock(MayDay(hour, minute, second)), TTimePrecision::Second, true);
}

// A listed file of 2004-05-01 on the server's own clock, known to the precision.
TFileEntry ListedFile(const char* name, int hour, int minute, int second,
                      TTimePrecision precision = TTimePrecision::Second)
{
    return Entry(name, MayDay(hour, minute, second), precision, false);
}

// Whether the comparison leaves a file where it is.
bool SkipsUpload(const TWalkRules& rules, const TFileEntry& local, const std::vector<TFileEntry>& remote)
{
    return DecideUploadFile(rules, local, remote).action == TEntryAction::Skip;
}
bool SkipsDownload(const TWalkRules& rules, const TFileEntry& remote, const std::vector<TFileEntry>& local)
{
    return DecideDownloadFile(rules, remote, local).action == TEntryAction::Skip;
}

// The comparison itself needs no server.
TEST(FolderWalkComparison, ExactTimesWhereBothSidesHaveThemElseThePanesPrecisionsAndADayAsItsMidnight)
{
    const TWalkRules rules{.compareTimeStamp = true, .skipExtensions = {".bak"}};
    const std::vector<TFileEntry> remote{ListedFile("Readme.TXT", 12, 34, 10), ListedFile("readme.txt", 23, 0, 0)};
    // A local 12:34:50 shows as 12:34 against 12:34:10: skipped, although the file may be up to 59
    // seconds newer.
    EXPECT_TRUE(SkipsUpload(rules, LocalFile("readme.txt", 12, 34, 50), remote));
    // Only the first entry of the name counts, not its later twin.
    EXPECT_FALSE(SkipsUpload(rules, LocalFile("readme.txt", 12, 35, 0), remote));
    EXPECT_TRUE(SkipsUpload(rules, LocalFile("x.BAK", 23, 59, 0), remote));
    EXPECT_FALSE(SkipsUpload(rules, LocalFile("other.txt", 0, 0, 0), remote));

    // Instants on both sides: one second newer counts.
    const std::vector<TFileEntry> local{Entry("README.txt", 1000, TTimePrecision::Second, true)};
    EXPECT_FALSE(SkipsDownload(rules, Entry("Readme.TXT", 1001, TTimePrecision::Second, true), local));
    EXPECT_TRUE(SkipsDownload(rules, Entry("Readme.TXT", 1000, TTimePrecision::Second, true), local));
    // A remote time on its own clock against the local file's minute.
    const std::vector<TFileEntry> localAtMinute{LocalFile("README.txt", 12, 34, 50)};
    EXPECT_FALSE(SkipsDownload(rules, ListedFile("Readme.TXT", 12, 34, 10), localAtMinute));
    EXPECT_TRUE(SkipsDownload(rules, ListedFile("Readme.TXT", 12, 34, 0, TTimePrecision::Minute), localAtMinute));
    // A listing without a time never counts as older.
    EXPECT_FALSE(SkipsDownload(rules, TFileEntry{.name = QStringLiteral("Readme.TXT")}, local));

    // As a Unix listing gives a date with a year: the day's first millisecond past 00:00:00.
    TFileEntry day = ListedFile("a.txt", 0, 0, 0, TTimePrecision::Day);
    day.modified.point += std::chrono::milliseconds(999);
    const TFileEntry noon = LocalFile("a.txt", 12, 0, 0);
    EXPECT_FALSE(SkipsUpload(rules, noon, {day}));
    EXPECT_TRUE(SkipsDownload(rules, day, {noon}));
    EXPECT_TRUE(SkipsUpload(rules, LocalFile("a.txt", 0, 0, 59), {day}));
}

TEST_F(FolderWalkTest, LinksUpTheWayAndUnsafeNamesAreSkippedAndAStopEndsEachLevelWithEntriesLeft)
{
    WriteWithFolders(Local("out/1.txt"), "1");
    ASSERT_EQ(symlink(session_.local.Path().c_str(), Local("out/up").c_str()), 0);
    TFolderWalk(host_, {}).Upload(LocalRoot(), QString());
    EXPECT_EQ(TempDir::ReadFile(Remote("out/1.txt")), "1");
    EXPECT_FALSE(TempDir::Exists(Remote("out/up")));
    ASSERT_EQ(host_.logLines.size(), 1u);
    EXPECT_TRUE(host_.logLines[0].startsWith(QStringLiteral("上の階層と同じフォルダーのため飛ばしました: ")));

    WriteWithFolders(Remote("in/bad\x01name.txt"), "bad");
    WriteWithFolders(Remote("in/ok.txt"), "ok");
    TempDir back;
    host_.logLines.clear();
    TFolderWalk(host_, {}).Download(QString::fromStdString(back.Path()), QStringLiteral("in"));
    EXPECT_EQ(TempDir::ReadFile(back.File("in/ok.txt")), "ok");
    EXPECT_EQ(host_.logLines, std::vector<QString>{QStringLiteral("ローカルでは使えない名前のため飛ばしました: bad\\x01name.txt")});

    // A stop after the first file of a/b: that level and the top, which has entries left, each
    // stop with a notice; a, whose only entry was b, ends without one.
    WriteWithFolders(Local("a/b/c1.txt"), "c");
    WriteWithFolders(Local("a/b/c2.txt"), "c");
    WriteWithFolders(Local("z.txt"), "z");
    host_.files.clear();
    host_.stopAfterFiles = 1;
    TFolderWalk(host_, {}).Upload(LocalRoot(), QString());
    EXPECT_EQ(host_.files, std::vector<QString>{QStringLiteral("c1.txt")});
    EXPECT_EQ(host_.stoppedNotices, 2);
    EXPECT_FALSE(TempDir::Exists(Remote("z.txt")));
    EXPECT_EQ(session_.ftp.CurrentDirectory(), "/");
}

TEST_F(FolderWalkTest, AFolderThatCannotBeEnteredEndsTheWalkWithTheEngineBackWhereItStarted)
{
    WriteWithFolders(Remote("pub/blocked/a.txt"), "a");
    WriteWithFolders(Remote("pub/z.txt"), "z");
    WriteWithFolders(Local("blocked"), "a local file");
    session_.ftp.ChangeDirectory("pub");
    EXPECT_THROW(TFolderWalk(host_, {}).Download(LocalRoot(), QString()), EFolderWalkError);
    EXPECT_EQ(TempDir::ReadFile(Local("blocked")), "a local file");
    EXPECT_FALSE(TempDir::Exists(Local("z.txt")));
    EXPECT_EQ(session_.ftp.CurrentDirectory(), "/pub");

    // A remote file where the folder goes: CWD is refused, the file stays.
    WriteWithFolders(Local("up/zdir/d.txt"), "d");
    WriteWithFolders(Remote("pub/zdir"), "a remote file");
    EXPECT_THROW(TFolderWalk(host_, {}).Upload(QString::fromStdString(Local("up")), QString()), EIdProtocolReplyError);
    EXPECT_EQ(TempDir::ReadFile(Remote("pub/zdir")), "a remote file");
    EXPECT_EQ(session_.ftp.CurrentDirectory(), "/pub");
}

}  // namespace
