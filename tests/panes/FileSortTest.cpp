#include "fixtures/PinnedZone.h"
#include "panes/FileSort.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono;

TFileRow Row(const char* name, TEntryKind kind, std::int64_t size = 0, TEntryTime modified = {}, const char* rights = "")
{
    return {.entry = {.name = QString::fromUtf8(name),
                      .size = size,
                      .sizeKnown = true,
                      .kind = kind,
                      .modified = modified,
                      .rights = QString::fromUtf8(rights)}};
}

TFileRow File(const char* name, std::int64_t size, TEntryTime modified = {}) { return Row(name, TEntryKind::File, size, modified); }
TFileRow Folder(const char* name) { return Row(name, TEntryKind::Folder); }

// A time on the listing's own clock, on 2026-03-01.
TEntryTime March(int hour, int minute, int second, TTimePrecision precision) {
    return {.point = sys_days(2026y / 3 / 1) + hours(hour) + minutes(minute) + seconds(second), .precision = precision};
}

QStringList Names(const std::vector<TFileRow>& rows) {
    QStringList names;
    for (const TFileRow& row : rows) names << row.entry.name;
    return names;
}

TEST(FileSort, FoldersComeFirstInEveryOrderAndNamesFollowTheCollation) {
    std::vector<TFileRow> rows{File("b.txt", 1), Folder("zdir"), File("a.txt", 2), Folder("adir"), File("c.txt", 3)};
    SortFileRows(rows, SortByNameAsc, 0);
    EXPECT_EQ(Names(rows), (QStringList{"adir", "zdir", "a.txt", "b.txt", "c.txt"}));
    SortFileRows(rows, SortByNameDesc, 0);
    EXPECT_EQ(Names(rows), (QStringList{"zdir", "adir", "c.txt", "b.txt", "a.txt"}));
}

TEST(FileSort, SizesOrderByTheirWholeValuePastThirtyTwoBits) {
    std::vector<TFileRow> rows{File("5g", 5000000000), File("2g", 2147483648), File("max", INT64_MAX),
                               File("small", 999), Folder("dir"), File("4g", 4294967296)};
    SortFileRows(rows, SortByColumnAsc, 1);
    EXPECT_EQ(Names(rows), (QStringList{"dir", "small", "2g", "4g", "5g", "max"}));
    SortFileRows(rows, SortByColumnDesc, 1);
    EXPECT_EQ(Names(rows), (QStringList{"dir", "max", "5g", "4g", "2g", "small"}));
}

TEST(FileSort, TimesOrderChronologicallyAcrossPrecisionsWithUnknownTimesFirst) {
    // The shown texts would order "2026/03/01" (a day alone) before "2026/02/28 23:59:59" and
    // "9:05:00" after "10:00:00"; the times themselves do not.
    std::vector<TFileRow> rows{
        File("second", 1, March(9, 5, 0, TTimePrecision::Second)),
        File("unknown", 1),
        File("day", 1, March(0, 0, 0, TTimePrecision::Day)),
        File("minute", 1, March(10, 0, 0, TTimePrecision::Minute)),
        File("before", 1, {.point = sys_days(2026y / 2 / 28) + hours(23) + minutes(59) + seconds(59),
                           .precision = TTimePrecision::Second}),
    };
    SortFileRows(rows, SortByColumnAsc, 2);
    EXPECT_EQ(Names(rows), (QStringList{"unknown", "before", "day", "second", "minute"}));
    SortFileRows(rows, SortByColumnDesc, 2);
    EXPECT_EQ(Names(rows), (QStringList{"minute", "second", "day", "before", "unknown"}));
}

TEST(FileSort, UtcTimesOrderWithTimesOnTheListingsClockAsTheLocalClockShowsThem) {
    const PinnedZone japan("JST-9");
    // 01:00 UTC shows as 10:00 here, after 09:30 on the listing's own clock.
    std::vector<TFileRow> rows{
        File("utc", 1, {.point = sys_days(2026y / 3 / 1) + hours(1), .precision = TTimePrecision::Second, .utc = true}),
        File("own", 1, March(9, 30, 0, TTimePrecision::Minute)),
    };
    SortFileRows(rows, SortByColumnAsc, 2);
    EXPECT_EQ(Names(rows), (QStringList{"own", "utc"}));
}

TEST(FileSort, TheAttributeColumnOrdersByTextLengthThenCollationAndEqualRowsKeepTheirOrder) {
    std::vector<TFileRow> rows{Row("rwx", TEntryKind::File, 0, {}, "rwx"), Row("r--", TEntryKind::File, 0, {}, "r--"),
                               Row("first", TEntryKind::File, 0, {}, "r-"), Row("second", TEntryKind::File, 0, {}, "r-")};
    SortFileRows(rows, SortByColumnAsc, 3);
    EXPECT_EQ(Names(rows), (QStringList{"first", "second", "r--", "rwx"}));
    SortFileRows(rows, SortByColumnDesc, 3);
    EXPECT_EQ(Names(rows), (QStringList{"rwx", "r--", "first", "second"}));
}

}  // namespace
