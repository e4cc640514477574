#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "panes/LocalFileRow.h"

#include <QDateTime>
#include <QEventLoop>
#include <QTimer>
#include <QTreeView>
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

    TFileRow folder = factory.Row(DirectoryEntry{"sub", 0, 0, 0x10});
    EXPECT_EQ(folder.subItems[3], QStringLiteral("0"));
    EXPECT_TRUE(folder.IsFolder());
}

TEST(FileListModel, ShowsTheRowsAndSortsInPlace) {
    TFileListModel model;
    TLocalRowFactory factory({}, {".txt"});
    std::vector<TFileRow> rows{factory.Row(DirectoryEntry{"b.txt", 5, 0, 0x80}),
                               factory.Row(DirectoryEntry{"dir", 0, 0, 0x10})};
    model.SetRows(rows);
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QStringLiteral("5"));
    EXPECT_EQ(model.data(model.index(0, 0), TFileListModel::FileIconIndexRole).toInt(), fiText);
    model.Sort(SortByNameAsc, 0);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("dir"));
    EXPECT_FALSE(model.data(model.index(5, 0)).isValid());
}

TEST(FileViewStack, FitsAskedForCloseTogetherAreGatheredIntoOneWhenTheSpacingIsOver) {
    auto* model = new TFileListModel;  // the views own it
    TFileViewStack views(QStringLiteral("LocalFileListView"), model);
    TLocalRowFactory factory({}, {});
    const QString longName = QStringLiteral("a-rather-long-file-name-that-needs-room.txt");
    model->SetRows({factory.Row(DirectoryEntry{"a", 1, 0, 0x80})});
    views.FitColumnsToNewRows();
    const int shortWidth = views.Report().columnWidth(0);

    model->SetRows({factory.Row(DirectoryEntry{longName.toStdString(), 1, 0, 0x80})});
    views.FitColumnsToNewRows();
    EXPECT_EQ(views.Report().columnWidth(0), shortWidth);
    QEventLoop loop;
    QTimer::singleShot(2 * TFileViewStack::FitSpacing, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_GT(views.Report().columnWidth(0), views.Report().fontMetrics().horizontalAdvance(longName));
}
