#include "fixtures/PinnedZone.h"
#include "panes/FileListModel.h"
#include "panes/LocalFileRow.h"
#include "panes/PaneTime.h"
#include "platform/DirectoryScan.h"

#include <QDateTime>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

// The texts of a row's name, size, time and attribute columns.
QStringList Shown(const TFileListModel& model, int row) {
    QStringList texts;
    for (int column = 0; column < 4; ++column) texts << model.data(model.index(row, column)).toString();
    return texts;
}

TEST(FileListModel, ColumnsShowTheEntrysNameFullSizeTimeAndAttributesAndARowPastTheEndIsNoData) {
    const PinnedZone japan("JST-9");
    TLocalRowFactory factory({".jpg"}, {".txt"});
    const std::time_t modified = 1699146123;  // 2023-11-05 01:02:03 UTC
    TFileListModel model;
    model.SetRows({factory.Row(DirectoryEntry{"photo.JPG", 5000000000, modified, 0x80}),
                   factory.Row(DirectoryEntry{"sub", 0, modified, 0x10 | 0x2})});
    // The size is past 32 bits; the local pane shows the minute on the local clock.
    const QString minute = QDateTime(QDate(2023, 11, 5), QTime(10, 2)).toString(LocalTimePattern());
    EXPECT_EQ(Shown(model, 0), (QStringList{"photo.JPG", "5000000000", minute, "通常ファイル "}));
    EXPECT_EQ(model.data(model.index(0, 0), TFileListModel::FileIconIndexRole).toInt(), fiPicture);
    EXPECT_EQ(Shown(model, 1).last(), QStringLiteral("<DIR> 隠しファイル "));
    EXPECT_EQ(model.data(model.index(1, 0), TFileListModel::FileIconIndexRole).toInt(), fiFolder);
    EXPECT_FALSE(model.data(model.index(5, 0)).isValid());
}

}  // namespace
