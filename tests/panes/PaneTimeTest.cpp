#include "fixtures/PinnedZone.h"
#include "ftp/IdFTPList.h"
#include "panes/PaneTime.h"
#include "panes/RemoteFileRow.h"
#include "platform/NameCodec.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

const TDateParts June2026{2026, 6, 15, 10, 0, 0, 0};

// The time texts of the remote rows made from a listing.
QStringList RemoteTimeTexts(const std::string& text, TIdFTPListFormat format) {
    TIdFTPListItems items;
    items.ListFormat = format;
    items.LoadLines(TIdListLines::FromText(text), June2026);
    TNameCodec codec;
    TRemoteRowFactory factory(codec, {}, {});
    QStringList texts;
    for (const TIdFTPListItem& item : items) texts << factory.Row(item).timeText;
    return texts;
}

QString DateText(int year, int month, int day) { return QDate(year, month, day).toString(RemoteDateFormat()); }
QString ClockText(int hour, int minute, int second) { return QTime(hour, minute, second).toString(RemoteTimeFormat()); }

TEST(PaneTime, RemoteRowsShowTheListedTimeAsListedAndMachineListingsTimesOnTheLocalClock) {
    EXPECT_EQ(RemoteTimeTexts("-rw-r--r-- 1 u g 1 Mar  1 12:34 minute\r\n"
                              "-rw-r--r-- 1 u g 1 Jan  2  2004 day\r\n"
                              "-rw-r--r-- 1 u g 1 2004-05-01 12:34:10 second\r\n",
                              lfUnix),
              (QStringList{DateText(2026, 3, 1) + u' ' + ClockText(12, 34, 0),
                           // A date with a year shows its time of 00:00:00 as well.
                           DateText(2004, 1, 2) + u' ' + ClockText(0, 0, 0),
                           DateText(2004, 5, 1) + u' ' + ClockText(12, 34, 10)}));
    // Exactly midnight shows the date alone.
    EXPECT_EQ(RemoteTimeTexts("05-01-04  12:00AM       <DIR>          midnight\r\n"
                              "05-01-04  01:02PM                  12 afternoon\r\n",
                              lfDos),
              (QStringList{DateText(2004, 5, 1), DateText(2004, 5, 1) + u' ' + ClockText(13, 2, 0)}));
    // A value without a date part shows the time alone.
    EXPECT_EQ(RemoteDateText(EncodeTime(7, 8, 9, 0)), ClockText(7, 8, 9));

    // Machine listings show their UTC time on the local clock, and nothing without a time.
    const PinnedZone japan("JST-9");
    EXPECT_EQ(RemoteTimeTexts("type=file;modify=20240229134507.250; a\r\n"
                              "type=file;modify=20240229150000; b\r\n"
                              "type=file;size=1; c\r\n",
                              lfMlsd),
              (QStringList{DateText(2024, 2, 29) + u' ' + ClockText(22, 45, 7),
                           // 15:00 UTC is midnight in Japan.
                           DateText(2024, 3, 1), QString()}));
}

}  // namespace
