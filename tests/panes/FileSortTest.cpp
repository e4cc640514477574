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

// Folders come first in every order; then the rows follow the column's value, ascending and
// descending, and equal rows keep their order.
TEST(FileSort, EachColumnOrdersByItsValueBothWaysWithFoldersFirst) {
    // The UTC time shows in Japan's local time.
    const PinnedZone japan("JST-9");
    const struct {
        const char* what;
        std::vector<TFileRow> rows;
        int column;
        QStringList ascending, descending;
    } cases[] = {
        {"names follow the collation",
         {File("b.txt", 1), Folder("zdir"), File("a.txt", 2), Folder("adir"), File("c.txt", 3)}, 0,
         {"adir", "zdir", "a.txt", "b.txt", "c.txt"}, {"zdir", "adir", "c.txt", "b.txt", "a.txt"}},
        {"sizes by their whole value past 32 bits",
         {File("5g", 5000000000), File("2g", 2147483648), File("max", INT64_MAX), File("small", 999), Folder("dir"),
          File("4g", 4294967296)}, 1,
         {"dir", "small", "2g", "4g", "5g", "max"}, {"dir", "max", "5g", "4g", "2g", "small"}},
        // The shown texts would order "2026/03/01" (a day alone) before "2026/02/28 23:59:59" and
        // "9:05:00" after "10:00:00"; the times themselves do not.
        {"times across precisions, unknown first",
         {File("second", 1, March(9, 5, 0, TTimePrecision::Second)), File("unknown", 1),
          File("day", 1, March(0, 0, 0, TTimePrecision::Day)), File("minute", 1, March(10, 0, 0, TTimePrecision::Minute)),
          File("before", 1, {.point = sys_days(2026y / 2 / 28) + hours(23) + minutes(59) + seconds(59),
                             .precision = TTimePrecision::Second})}, 2,
         {"unknown", "before", "day", "second", "minute"}, {"minute", "second", "day", "before", "unknown"}},
        // 01:00 UTC shows as 10:00 here, after 09:30 on the listing's own clock.
        {"UTC times as the local clock shows them",
         {File("utc", 1, {.point = sys_days(2026y / 3 / 1) + hours(1), .precision = TTimePrecision::Second, .utc = true}),
          File("own", 1, March(9, 30, 0, TTimePrecision::Minute))}, 2,
         {"own", "utc"}, {"utc", "own"}},
        {"attributes by text length, then collation",
         {Row("rwx", TEntryKind::File, 0, {}, "rwx"), Row("r--", TEntryKind::File, 0, {}, "r--"),
          Row("first", TEntryKind::File, 0, {}, "r-"), Row("second", TEntryKind::File, 0, {}, "r-")}, 3,
         {"first", "second", "r--", "rwx"}, {"rwx", "r--", "first", "second"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<TFileRow> rows = c.rows;
        SortFileRows(rows, c.column == 0 ? SortByNameAsc : SortByColumnAsc, c.column);
        EXPECT_EQ(Names(rows), c.ascending);
        SortFileRows(rows, c.column == 0 ? SortByNameDesc : SortByColumnDesc, c.column);
        EXPECT_EQ(Names(rows), c.descending);
    }
}

}  // namespace
