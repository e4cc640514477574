#include "panes/FileListModel.h"
#include "panes/LocalFileRow.h"

#include <QDateTime>
#include <gtest/gtest.h>

TEST(LocalFileRow, EntriesBecomeRowsWithTheirTextsAndIcons) {
    DirectoryEntry file{"photo.JPG", 1234567890, 0, 0x80};
    file.modified = QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)).toSecsSinceEpoch();
    TLocalRowFactory factory({".jpg"}, {".txt"});
    TFileRow row = factory.Row(file);
    EXPECT_EQ(row.caption, QStringLiteral("photo.JPG"));
    EXPECT_EQ(row.subItems[0], QStringLiteral("1234567890"));
    EXPECT_EQ(row.subItems[1], QStringLiteral("2026/03/04 05:06"));
    EXPECT_EQ(row.subItems[2], QStringLiteral("通常ファイル "));
    EXPECT_EQ(row.subItems[3], QStringLiteral("1"));
    EXPECT_EQ(row.icon, fiPicture);

    EXPECT_TRUE(factory.Row(DirectoryEntry{"sub", 0, 0, 0x10}).IsFolder());

    TFileListModel model;
    model.SetRows({row});
    EXPECT_FALSE(model.data(model.index(5, 0)).isValid());
}
