#include "log/FileOperationLog.h"

#include "fixtures/TempDir.h"

#include <QLocale>
#include <QStringList>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// The entries of the log file in the folder; each must end in CR LF.
QStringList Entries(const TempDir& dir)
{
    const QString text = QString::fromUtf8(TempDir::ReadFile(dir.File("FileOperationLog.txt")));
    EXPECT_TRUE(text.isEmpty() || text.endsWith(QStringLiteral("\r\n")));
    QStringList lines = text.split(QStringLiteral("\r\n"));
    lines.removeLast();
    for (const QString& line : lines)
        EXPECT_FALSE(line.contains(u'\n') || line.contains(u'\r'));
    return lines;
}

TEST(FileOperationLog, AppendsToAnLfOrCrLfFileDroppingTheOldestLineWhenFullAndWritesABurstWhole)
{
    TempDir dir;
    int maxFileLog = 3;
    TFileOperationLog log(QString::fromStdString(dir.Path()), [&] { return maxFileLog; });
    TempDir::WriteFile(dir.File("FileOperationLog.txt"), "old 1\nold 2\r\nold 3\r\n");
    log.AppendFileOperationLog("Upload", "/home/u/a.txt", "-->", "p:/d:a");
    const QStringList entries = Entries(dir);
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries.mid(0, 2), (QStringList{"old 2", "old 3"}));
    EXPECT_TRUE(entries[2].endsWith(QStringLiteral(" Upload /home/u/a.txt --> p:/d:a"))) << entries[2].toStdString();

    maxFileLog = -1;
    log.AppendFileOperationLog(QStringLiteral("Rename"), QStringLiteral("a"), QStringLiteral("-->"), QStringLiteral("b"));
    log.Flush();
    EXPECT_TRUE(Entries(dir).isEmpty());

    // A burst of lines is written in order, the last ones when the log ends.
    {
        TFileOperationLog burst(QString::fromStdString(dir.Path()), [] { return 5000; });
        for (int i = 0; i < 3000; ++i)
            burst.AppendFileOperationLog(QStringLiteral("Upload"), QString::number(i), QStringLiteral("-->"), QString());
    }
    const QStringList written = Entries(dir);
    ASSERT_EQ(written.size(), 3000);
    for (int i = 0; i < 3000; i += 999)
        EXPECT_TRUE(written[i].endsWith(QStringLiteral(" Upload %1 --> ").arg(i))) << written[i].toStdString();
}

// Between the files of a running command the lines wait for the gathering spacing; they are
// written once it has passed, or at once by Flush. A stamp is formatted once per second and
// reused: a line written in the next second must not carry the old one. Its date is today's, read
// before or after the write: midnight may fall between.
TEST(FileOperationLog, FlushWhenDueWaitsForTheGatheringSpacingAndALineASecondLaterCarriesItsOwnTimeStamp)
{
    TempDir dir;
    TFileOperationLog log(QString::fromStdString(dir.Path()), [] { return 100; });
    const auto first = std::chrono::steady_clock::now();
    log.AppendFileOperationLog(QStringLiteral("Upload"), QStringLiteral("a"), QStringLiteral("-->"), QString());
    log.AppendFileOperationLog(QStringLiteral("Upload"), QStringLiteral("b"), QStringLiteral("-->"), QString());
    log.FlushWhenDue();
    // Unless the machine stalled for the whole spacing meanwhile, the second line still waits.
    if (std::chrono::steady_clock::now() - first < TFileOperationLog::GatheringSpacing) {
        EXPECT_EQ(Entries(dir).size(), 1);
    }
    QThread::msleep(TFileOperationLog::GatheringSpacing.count() + 50);
    log.FlushWhenDue();
    EXPECT_EQ(Entries(dir).size(), 2);

    QThread::msleep(1100);
    const QDate dayBefore = QDate::currentDate();
    log.AppendFileOperationLog(QStringLiteral("Upload"), QStringLiteral("c"), QStringLiteral("-->"), QString());
    log.Flush();
    const QDate dayAfter = QDate::currentDate();
    QStringList stamps;
    for (const QString& entry : Entries(dir))
        stamps.append(entry.left(entry.indexOf(QStringLiteral(" Upload"))));
    ASSERT_EQ(stamps.size(), 3);
    const auto stampedOn = [](const QString& stamp, QDate day) {
        const QString date = QLocale::system().toString(day, QLocale::ShortFormat);
        return stamp == date || stamp.startsWith(date + u' ');
    };
    EXPECT_TRUE(stampedOn(stamps[2], dayBefore) || stampedOn(stamps[2], dayAfter)) << stamps[2].toStdString();
    EXPECT_NE(stamps[1], stamps[2]);
}

}  // namespace
