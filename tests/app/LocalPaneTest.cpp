#include "MainFormFixture.h"

#include "panes/FileListModel.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QTreeView>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QStringList Captions(const TFileListModel& model)
{
    QStringList captions;
    for (const TFileRow& row : model.Rows())
        captions << row.caption;
    return captions;
}

class LocalPaneTest : public MainFormTest {
protected:
    TFileListModel& Model(TMainForm& form)
    {
        auto* view = form.findChild<QAbstractItemView*>(QStringLiteral("LocalFileListView"));
        return *static_cast<TFileListModel*>(view->model());
    }

    void MakeFiles()
    {
        TempDir::WriteFile(work_.File("small.css"), std::string(5, 'x'));
        TempDir::WriteFile(work_.File("notes.txt"), "");
        TempDir::WriteFile(work_.File(".hidden"), "");
        mkdir(work_.File("zfolder").c_str(), 0755);
        mkdir(work_.File("afolder").c_str(), 0755);
    }
};

}  // namespace

TEST_F(LocalPaneTest, ListsTheWorkingDirectoryWithFoldersFirst)
{
    MakeFiles();
    TMainForm& form = Open();
    form.SetLocalMask(QString());
    form.FillLocalFileList();
    EXPECT_EQ(Captions(Model(form)),
              (QStringList{"afolder", "zfolder", ".hidden", "notes.txt", "small.css"}));
    EXPECT_EQ(Model(form).Row(3).icon, fiText);
}

TEST_F(LocalPaneTest, TheMaskFiltersFoldersToo)
{
    MakeFiles();
    TMainForm& form = Open();
    form.SetLocalMask(QStringLiteral("*.css"));
    form.FillLocalFileList();
    EXPECT_EQ(Captions(Model(form)), QStringList{"small.css"});
}

TEST_F(LocalPaneTest, ColumnClicksAlternateTheDirectionAndSizesSortByValue)
{
    TempDir::WriteFile(work_.File("big"), "");
    TempDir::WriteFile(work_.File("medium"), "");
    ASSERT_EQ(truncate(work_.File("big").c_str(), 1234567890), 0);
    ASSERT_EQ(truncate(work_.File("medium").c_str(), 999999999), 0);
    mkdir(work_.File("folder").c_str(), 0755);
    TMainForm& form = Open();
    form.SetLocalMask(QStringLiteral("*.*"));
    form.FillLocalFileList();
    auto* view = form.findChild<QTreeView*>(QStringLiteral("LocalFileListView"));
    ASSERT_NE(view, nullptr);
    emit view->header()->sectionClicked(1);
    EXPECT_EQ(Captions(Model(form)), (QStringList{"folder", "big", "medium"}));
    emit view->header()->sectionClicked(1);
    EXPECT_EQ(Captions(Model(form)), (QStringList{"folder", "medium", "big"}));
}

TEST_F(LocalPaneTest, TheDesignedSortAppliesAfterEveryFill)
{
    MakeFiles();
    TMainForm& form = Open();
    form.Options().iFileListSort = 1;
    form.SetLocalMask(QStringLiteral("*.*"));
    form.FillLocalFileList();
    EXPECT_EQ(Captions(Model(form)), (QStringList{"zfolder", "afolder", "small.css", "notes.txt", ".hidden"}));
}
