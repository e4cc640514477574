#include "support/QStringPrinter.h"
#include "transfer/WorkReport.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t KiB = 1024;
constexpr std::int64_t GiB = KiB * KiB * KiB;

const TWorkLineFormat CFormat{QLocale::c()};

}  // namespace

TEST(WorkReport, HalfOfTheAverageSinceTheStartAndHalfOfThePreviousSpeed)
{
    // 160 KB of an expected 1 MB after 4.0 s, the previous speed 36.0 KB/s.
    const double speed = NextTransferSpeed(160 * KiB, 4000, 36.0);
    EXPECT_DOUBLE_EQ(speed, 38.0);
    EXPECT_EQ(CFormat.Line(wkReceive, 160 * KiB, 1024 * KiB, speed),
              QStringLiteral("163840 of 1048576 bytes received; Download Speed: 38.00 KB/s; 残り 0分22秒"));
    EXPECT_EQ(CFormat.Line(wkSend, 160 * KiB, 1024 * KiB, speed),
              QStringLiteral("163840 of 1048576 bytes sent; Upload Speed: 38.00 KB/s; 残り 0分22秒"));
}

TEST(WorkReport, TheSpeedTakesTheLocalesDecimalSeparatorAndNoGrouping)
{
    const TWorkLineFormat german{QLocale(QLocale::German, QLocale::Germany)};
    EXPECT_EQ(german.Line(wkSend, 4096 * KiB, 8192 * KiB, 12345.678),
              QStringLiteral("4194304 of 8388608 bytes sent; Upload Speed: 12345,68 KB/s; 残り 0分0秒"));
}

TEST(WorkReport, AReportInTheFirstMillisecondKeepsTheSpeedAndShowsAQuestionMark)
{
    EXPECT_EQ(NextTransferSpeed(8196, 0, 0), 0);
    EXPECT_EQ(CFormat.Line(wkSend, 8196, 100000, NextTransferSpeed(8196, 0, 0)),
              QStringLiteral("8196 of 100000 bytes sent; Upload Speed: ?"));
    // Later transfers start from the speed WorkBegin reset, not from a stale one.
    EXPECT_EQ(NextTransferSpeed(8196, 0, 12.5), 12.5);
}

TEST(WorkReport, AnUnknownOrPassedSizeLeavesTheRemainingTimeOpen)
{
    EXPECT_EQ(CFormat.Line(wkReceive, 2048, 0, 2.0),
              QStringLiteral("2048 of 0 bytes received; Download Speed: 2.00 KB/s; 残り ?"));
    EXPECT_EQ(CFormat.Line(wkReceive, 2048, -1, 2.0),
              QStringLiteral("2048 of -1 bytes received; Download Speed: 2.00 KB/s; 残り ?"));
    EXPECT_EQ(CFormat.Line(wkReceive, 4096, 2048, 2.0),
              QStringLiteral("4096 of 2048 bytes received; Download Speed: 2.00 KB/s; 残り ?"));
    EXPECT_EQ(CFormat.Line(wkReceive, 2048, 2048, 2.0),
              QStringLiteral("2048 of 2048 bytes received; Download Speed: 2.00 KB/s; 残り 0分0秒"));
}

TEST(WorkReport, CountsAndTimesBeyondThirtyTwoAndSixteenBits)
{
    // 2 GiB left at 1 MiB/s: 2048 s; at 1 KiB/s: 2097152 s.
    EXPECT_EQ(CFormat.Line(wkReceive, 3 * GiB, 5 * GiB, 1024.0),
              QStringLiteral("3221225472 of 5368709120 bytes received; Download Speed: 1024.00 KB/s; 残り 34分8秒"));
    EXPECT_EQ(CFormat.Line(wkSend, 3 * GiB, 5 * GiB, 1.0),
              QStringLiteral("3221225472 of 5368709120 bytes sent; Upload Speed: 1.00 KB/s; 残り 34952分32秒"));
    // Twenty hours in: the whole time counts, days and hours alike.
    constexpr std::int64_t twentyHoursMs = 20LL * 3600 * 1000;
    EXPECT_DOUBLE_EQ(NextTransferSpeed(72000 * KiB, twentyHoursMs, 1.0), 1.0);
    EXPECT_DOUBLE_EQ(NextTransferSpeed(3 * 72000 * KiB, 3 * twentyHoursMs, 1.0), 1.0);
}

TEST(WorkReport, ACrawlOverAHugeFileStillGivesAWholeCount)
{
    const QString line = CFormat.Line(wkReceive, 1, INT64_MAX, 0.001);
    EXPECT_TRUE(line.endsWith(QStringLiteral("Download Speed: 0.00 KB/s; 残り 16666666666666分40秒"))) << line.toStdString();
}
