#include "log/FileOperationLog.h"

#include "fixtures/TempDir.h"

#include <QLocale>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

class FileOperationLogTest : public ::testing::Test {
protected:
    FileOperationLogTest() : log(QString::fromStdString(dir.Path()), [this] { return maxFileLog; }) {}

    std::string Content() const { return TempDir::ReadFile(dir.File("FileOperationLog.txt")); }

    // The entries of the file; each must end in CR LF.
    QStringList Entries() const
    {
        const QString text = QString::fromUtf8(Content());
        EXPECT_TRUE(text.isEmpty() || text.endsWith(QStringLiteral("\r\n")));
        QStringList lines = text.split(QStringLiteral("\r\n"));
        lines.removeLast();
        for (const QString& line : lines)
            EXPECT_FALSE(line.contains(u'\n') || line.contains(u'\r'));
        return lines;
    }

    void WriteNumberedLines(int count)
    {
        std::string text;
        for (int i = 1; i <= count; ++i)
            text += "entry " + std::to_string(i) + "\r\n";
        TempDir::WriteFile(dir.File("FileOperationLog.txt"), text);
    }

    TempDir dir;
    int maxFileLog = 500;
    TFileOperationLog log;
};

TEST_F(FileOperationLogTest, LineJoinsDateTimeAndTheFourTexts)
{
    const QDateTime before = QDateTime::currentDateTime();
    log.AppendFileOperationLog(QStringLiteral("Upload"), QStringLiteral("/home/u/a.txt"), QStringLiteral("-->"),
                               QStringLiteral("prof:/pub:a.txt"));
    const QStringList entries = Entries();
    ASSERT_EQ(entries.size(), 1);
    const QString suffix = QStringLiteral(" Upload /home/u/a.txt --> prof:/pub:a.txt");
    ASSERT_TRUE(entries[0].endsWith(suffix)) << entries[0].toStdString();
    const QString stamp = entries[0].chopped(suffix.size());
    const QDateTime after = QDateTime::currentDateTime();
    EXPECT_TRUE(stamp == FormatLogDateTime(before) || stamp == FormatLogDateTime(after)) << stamp.toStdString();
}

TEST_F(FileOperationLogTest, AppendsToAnLfOrCrLfFileAndEmptyOperandsKeepTheirSpaces)
{
    TempDir::WriteFile(dir.File("FileOperationLog.txt"), "old 1\nold 2\r\n");
    log.AppendFileOperationLog(QStringLiteral("Delete"), QStringLiteral("/tmp/日本語.txt"), QString(), QString());
    const QStringList entries = Entries();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0], QStringLiteral("old 1"));
    EXPECT_EQ(entries[1], QStringLiteral("old 2"));
    EXPECT_TRUE(entries[2].endsWith(QStringLiteral(" Delete /tmp/日本語.txt  "))) << entries[2].toStdString();
}

TEST_F(FileOperationLogTest, FullFileDropsItsOldestLine)
{
    WriteNumberedLines(500);
    log.AppendFileOperationLog(QStringLiteral("Download"), QStringLiteral("/l/f"), QStringLiteral("<--"),
                               QStringLiteral("p:/d:f"));
    const QStringList entries = Entries();
    ASSERT_EQ(entries.size(), 500);
    EXPECT_EQ(entries.front(), QStringLiteral("entry 2"));
    EXPECT_EQ(entries[498], QStringLiteral("entry 500"));
    EXPECT_TRUE(entries.back().endsWith(QStringLiteral(" Download /l/f <-- p:/d:f")));
}

TEST_F(FileOperationLogTest, ZeroOrNegativeLimitRewritesTheFileEmpty)
{
    for (int limit : {0, -1}) {
        WriteNumberedLines(3);
        maxFileLog = limit;
        log.AppendFileOperationLog(QStringLiteral("Rename"), QStringLiteral("a"), QStringLiteral("-->"), QStringLiteral("b"));
        EXPECT_EQ(Content(), "") << limit;
    }
}

TEST_F(FileOperationLogTest, UnwritableDirectoryIsAnError)
{
    TFileOperationLog broken(QString::fromStdString(dir.File("missing")), [] { return 500; });
    EXPECT_THROW(broken.AppendFileOperationLog(QStringLiteral("Upload"), QStringLiteral("a"), QStringLiteral("-->"),
                                               QStringLiteral("b")),
                 std::runtime_error);
}

TEST(FileOperationLogDate, TimeIsLeftOutAtExactlyMidnight)
{
    const QLocale locale = QLocale::system();
    const QDate day(2026, 12, 6);
    EXPECT_EQ(FormatLogDateTime(QDateTime(day, QTime(0, 0))), locale.toString(day, QLocale::ShortFormat));
    const QTime time(13, 5, 9);
    EXPECT_EQ(FormatLogDateTime(QDateTime(day, time)),
              locale.toString(day, QLocale::ShortFormat) + u' ' + locale.toString(time, QLocale::LongFormat));
    EXPECT_NE(FormatLogDateTime(QDateTime(day, QTime(0, 0, 0, 1))), locale.toString(day, QLocale::ShortFormat));
}

}
