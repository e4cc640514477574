#include "fileops/ViewFolder.h"

#include "fixtures/TempDir.h"
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <gtest/gtest.h>

namespace {

class ViewFolderTest : public ::testing::Test {
protected:
    QString AppDir() const { return QString::fromStdString(home_.Path()); }
    QString ViewPath(const QString& name) const { return AppDir() + QStringLiteral("/View/") + name; }
    // A run folder with one viewed file in it.
    void MakeRunFolder(const QString& name) const
    {
        ASSERT_TRUE(QDir().mkpath(ViewPath(name) + QStringLiteral("/1")));
        TempDir::WriteFile((ViewPath(name) + QStringLiteral("/1/Marlux.ini")).toStdString(), "viewed");
    }
    QStringList Runs() const { return QDir(AppDir() + QStringLiteral("/View")).entryList(QDir::Dirs | QDir::NoDotAndDotDot); }

    TempDir home_;
};

// The process id of a process that has ended.
qint64 EndedProcessId()
{
    QProcess process;
    process.start(QStringLiteral("/bin/true"), {});
    process.waitForStarted();
    const qint64 pid = process.processId();
    process.waitForFinished();
    return pid;
}

}  // namespace

TEST_F(ViewFolderTest, EachCommandGetsAFreshFolderBelowAppDirAndTheRunsFolderGoesWithIt)
{
    QString first, second;
    {
        TViewFolder folder(AppDir());
        first = folder.NewCommandFolder();
        second = folder.NewCommandFolder();
        EXPECT_NE(first, second);
        EXPECT_TRUE(first.startsWith(AppDir() + QStringLiteral("/View/")));
        EXPECT_TRUE(QDir(second).isEmpty());
        TempDir::WriteFile((first + QStringLiteral("/a.txt")).toStdString(), "a");
    }
    EXPECT_FALSE(QFileInfo::exists(first));
    EXPECT_TRUE(Runs().isEmpty());
}

TEST_F(ViewFolderTest, TheNextStartRemovesFoldersOfEndedRunsButNotThoseOfRunningCopies)
{
    MakeRunFolder(QStringLiteral("crashed"));
    // The lock of a run that ended without closing still names its process.
    TempDir::WriteFile((ViewPath(QStringLiteral("crashed")) + QStringLiteral("/run.lock")).toStdString(),
                       std::to_string(EndedProcessId()) + "\nmarlux\n" + QSysInfo::machineHostName().toStdString() + "\n");
    MakeRunFolder(QStringLiteral("unlocked"));
    MakeRunFolder(QStringLiteral("running"));
    QLockFile running(ViewPath(QStringLiteral("running")) + QStringLiteral("/run.lock"));
    ASSERT_TRUE(running.tryLock(0));

    TViewFolder folder(AppDir());
    EXPECT_TRUE(QFileInfo::exists(ViewPath(QStringLiteral("running/1/Marlux.ini"))));
    EXPECT_EQ(Runs(), QStringList{"running"});

    // A second copy started now leaves this run's files alone too.
    const QString mine = folder.NewCommandFolder();
    TViewFolder other(AppDir());
    EXPECT_TRUE(QFileInfo(mine).isDir());
    EXPECT_EQ(Runs().size(), 2);
}

TEST_F(ViewFolderTest, AFolderThatCannotBeMadeIsAnErrorNotAFileInTheProgramDirectory)
{
    // AppDir/View is taken by a file.
    TempDir::WriteFile(home_.File("View"), "not a folder");
    TViewFolder folder(AppDir());
    EXPECT_THROW(folder.NewCommandFolder(), EFileWriteError);
    EXPECT_EQ(QDir(AppDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"View"});
}
