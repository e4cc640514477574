#include "panes/LocalFileRow.h"
#include "panes/PaneTime.h"
#include "panes/RemoteFileRow.h"

#include <gtest/gtest.h>

namespace {

TEST(PaneTimeTest, EveryTextThePanesWriteReadsBackAsItsMoment)
{
    const QDateTime listed(QDate(2004, 5, 1), QTime(12, 34, 10));
    EXPECT_EQ(PaneTimeValue(RemoteDateText(EncodeDate(2004, 5, 1) + EncodeTime(12, 34, 10, 0))), listed);
    EXPECT_EQ(PaneTimeValue(RemoteDateText(EncodeDate(2004, 5, 1))), QDateTime(QDate(2004, 5, 1), QTime(0, 0)));
    EXPECT_EQ(PaneTimeValue(RemoteDateText(EncodeTime(7, 8, 9, 0))), QDateTime(QDate(1899, 12, 30), QTime(7, 8, 9)));
    // The local pane shows minutes.
    EXPECT_EQ(PaneTimeValue(FileDateText(std::time_t(listed.toSecsSinceEpoch()))),
              QDateTime(QDate(2004, 5, 1), QTime(12, 34)));
    // A minute text is not later than a seconds text of the same minute.
    const QDateTime local = PaneTimeValue(FileDateText(std::time_t(QDateTime(QDate(2004, 5, 1), QTime(12, 34, 50)).toSecsSinceEpoch())));
    const QDateTime remote = PaneTimeValue(RemoteDateText(EncodeDate(2004, 5, 1) + EncodeTime(12, 34, 10, 0)));
    EXPECT_LE(local, remote);
}

TEST(PaneTimeTest, ATextNoPaneWritesIsAConversionError)
{
    for (const char* text : {"", "yesterday", "2004/13/45 99:99", "12:34:10 2004/05/01 x"})
        EXPECT_THROW(PaneTimeValue(QString::fromLatin1(text)), EConvertError) << text;
}

}  // namespace
