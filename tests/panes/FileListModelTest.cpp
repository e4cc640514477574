#include "panes/FileListModel.h"
#include "panes/LocalFileRow.h"

#include <gtest/gtest.h>

TEST(LocalFileRow, EntriesBecomeRowsWithTheirFullSizesAndARowPastTheEndIsNoData) {
    TLocalRowFactory factory({".jpg"}, {".txt"});
    const TFileRow row = factory.Row(DirectoryEntry{"photo.JPG", 5000000000, 0, 0x80});
    EXPECT_EQ(row.caption, QStringLiteral("photo.JPG"));
    EXPECT_EQ(row.subItems[0], QStringLiteral("5000000000"));  // past 32 bits
    EXPECT_FALSE(row.IsFolder());
    EXPECT_TRUE(factory.Row(DirectoryEntry{"sub", 0, 0, 0x10}).IsFolder());

    TFileListModel model;
    model.SetRows({row});
    EXPECT_FALSE(model.data(model.index(5, 0)).isValid());
}
