#include "panes/FileListModel.h"
#include "panes/LocalFileRow.h"
#include "platform/DirectoryScan.h"

#include <gtest/gtest.h>

namespace {

QString Shown(const TFileListModel& model, int row, int column) {
    return model.data(model.index(row, column)).toString();
}

TEST(FileListModel, ColumnsShowTheEntrysNameFullSizeTimeAndAttributesAndARowPastTheEndIsNoData) {
    TLocalRowFactory factory({".jpg"}, {".txt"});
    const std::time_t modified = 1699146123;
    TFileListModel model;
    model.SetRows({factory.Row(DirectoryEntry{"photo.JPG", 5000000000, modified, 0x80}),
                   factory.Row(DirectoryEntry{"sub", 0, modified, 0x10 | 0x2})});
    EXPECT_EQ(Shown(model, 0, 0), QStringLiteral("photo.JPG"));
    EXPECT_EQ(Shown(model, 0, 1), QStringLiteral("5000000000"));  // past 32 bits
    // The local pane shows the minute.
    EXPECT_EQ(Shown(model, 0, 2), FileDateText(modified - modified % 60));
    EXPECT_EQ(Shown(model, 0, 3), QStringLiteral("通常ファイル "));
    EXPECT_EQ(model.data(model.index(0, 0), TFileListModel::FileIconIndexRole).toInt(), fiPicture);
    EXPECT_EQ(Shown(model, 1, 3), QStringLiteral("<DIR> 隠しファイル "));
    EXPECT_EQ(model.data(model.index(1, 0), TFileListModel::FileIconIndexRole).toInt(), fiFolder);
    EXPECT_TRUE(model.Row(1).entry.IsFolder());
    EXPECT_FALSE(model.data(model.index(5, 0)).isValid());
}

}  // namespace
