#include "RemoteScene.h"

#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "panes/RemoteFileRow.h"

#include <QDateTime>

#include <sys/stat.h>
#include <utime.h>

namespace {

class MachineListingTest : public RemoteSceneTest {
protected:
    const TFileRow& RemoteRow(const QString& caption) const
    {
        for (const TFileRow& row : RemoteList().Model().Rows())
            if (row.entry.name == caption)
                return row;
        throw std::runtime_error("no row " + caption.toStdString());
    }
    static void SetModified(const std::string& path, std::time_t when)
    {
        const utimbuf times{when, when};
        ASSERT_EQ(utime(path.c_str(), &times), 0) << path;
    }
    static std::time_t Modified(const std::string& path)
    {
        struct stat info {};
        EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
        return info.st_mtime;
    }
    int Sent(const QString& prefix) const { return int(LogLines().filter(QStringLiteral("<< ") + prefix).size()); }
    void RunAll(const char* action)
    {
        dialogs_->QueueAnswer(TUserDialogs::Answer::Yes);
        Run(action);
    }
};

// 2023-11-05 01:02:03 UTC: seconds that a minute text would lose.
constexpr std::time_t OddSecond = 1699146123;

// The remote pane lists by MLSD: the time is the UTC instant shown in local time, exact to the
// second, and the size comes from the listing, so downloads ask no SIZE; the detailed listing
// still shows LIST's lines.
TEST_F(MachineListingTest, PaneListsByMlsdShowsLocalTimeAndDownloadsAskNoSize)
{
    Write(Remote("a b.txt"), "hello");
    SetModified(Remote("a b.txt"), OddSecond);
    OpenConnected();
    EXPECT_GE(Sent(QStringLiteral("MLSD")), 1);
    EXPECT_EQ(Sent(QStringLiteral("LIST")), 0);
    const TFileRow& row = RemoteRow(QStringLiteral("a b.txt"));
    EXPECT_EQ(ExactInstant(row.entry.modified), qint64(OddSecond));
    EXPECT_TRUE(row.entry.sizeKnown);
    EXPECT_EQ(row.entry.size, 5);
    EXPECT_EQ(row.timeText, RemoteDateText(DateTimeFromTimeT(OddSecond)));

    form_->Options().bRetrieveRemoteTimeStamp = true;
    Select(RemoteList(), {QStringLiteral("a b.txt")});
    Run("aDownload");
    EXPECT_EQ(Read(Local("a b.txt")), "hello");
    EXPECT_EQ(Modified(Local("a b.txt")), OddSecond);
    EXPECT_EQ(Sent(QStringLiteral("SIZE")), 0);
}

// Uploads give the server the local times (MFMT), so a second "skip older" run in either
// direction finds nothing newer and moves nothing.
TEST_F(MachineListingTest, TimesSurviveBothWaysSoSkipOlderSkipsEverythingTheSecondTime)
{
    for (const char* name : {"one.txt", "sub/two.txt"}) {
        Write(Local(name), name);
        SetModified(Local(name), OddSecond);
    }
    TMainForm& form = OpenConnected();
    form.Options().bCompareTimeStamp = true;
    form.Options().bRetrieveRemoteTimeStamp = true;
    RunAll("aUploadAll");
    EXPECT_EQ(Modified(Remote("one.txt")), OddSecond);
    EXPECT_EQ(Modified(Remote("sub/two.txt")), OddSecond);
    EXPECT_EQ(Sent(QStringLiteral("STOR")), 2);

    RunAll("aUploadAll");
    EXPECT_EQ(Sent(QStringLiteral("STOR")), 2);
    RunAll("aDownloadAll");
    EXPECT_EQ(Sent(QStringLiteral("RETR")), 0);

    // One second newer on the server is newer.
    SetModified(Remote("one.txt"), OddSecond + 1);
    Run("aRemoteRefresh");
    RunAll("aDownloadAll");
    EXPECT_EQ(Sent(QStringLiteral("RETR")), 1);
    EXPECT_EQ(Modified(Local("one.txt")), OddSecond + 1);
}

}  // namespace
