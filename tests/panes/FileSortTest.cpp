#include "panes/FileSort.h"

#include <gtest/gtest.h>

namespace {

TFileRow Row(const QString& name, bool folder, const QString& size = QStringLiteral("0"),
             const QString& date = QStringLiteral("2026/01/01 00:00")) {
    TFileRow row;
    row.caption = name;
    row.subItems = {size, date, QString(), folder ? QStringLiteral("0") : QStringLiteral("1")};
    return row;
}

QStringList Captions(const std::vector<TFileRow>& rows) {
    QStringList captions;
    for (const TFileRow& row : rows) captions << row.caption;
    return captions;
}

std::vector<TFileRow> Sample() {
    return {Row("b.txt", false, "999999999", "2026/03/01 10:00"), Row("zdir", true),
            Row("a.txt", false, "1234567890", "2025/12/31 23:59"), Row("adir", true),
            Row("c.txt", false, "5", "2026/03/01 09:00")};
}

}  // namespace

TEST(FileSort, FoldersComeFirstAndSizesOrderByValueAndDatesChronologically) {
    std::vector<TFileRow> rows = Sample();
    SortFileRows(rows, SortByNameDesc, 0);
    EXPECT_EQ(Captions(rows), (QStringList{"zdir", "adir", "c.txt", "b.txt", "a.txt"}));
    SortFileRows(rows, SortByColumnAsc, 1);
    EXPECT_EQ(Captions(rows).mid(2), (QStringList{"c.txt", "b.txt", "a.txt"}));
    SortFileRows(rows, SortByColumnAsc, 2);
    EXPECT_EQ(Captions(rows).mid(2), (QStringList{"a.txt", "c.txt", "b.txt"}));
}
