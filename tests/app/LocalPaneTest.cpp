#include "MainFormFixture.h"

#include "panes/FileListModel.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDir>
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

TEST_F(LocalPaneTest, RefreshGoesToTheTypedDirectoryOrStays)
{
    MakeFiles();
    TMainForm& form = Open();
    auto* dirBox = form.findChild<QComboBox*>(QStringLiteral("LocalDirBox"));
    form.FillLocalFileList();
    EXPECT_EQ(dirBox->currentText(), QDir::currentPath() + u'/');
    const QString here = QDir::currentPath();
    dirBox->setEditText(here + QStringLiteral("/no such dir"));
    form.Action("aLocalRefresh")->trigger();
    EXPECT_EQ(QDir::currentPath(), here);
    EXPECT_EQ(dirBox->currentText(), here + u'/');
    dirBox->setEditText(here + QStringLiteral("/afolder"));
    form.Action("aLocalRefresh")->trigger();
    EXPECT_EQ(QDir::currentPath(), here + QStringLiteral("/afolder"));
    EXPECT_TRUE(Model(form).Rows().empty());
    form.Action("aLocalDirectoryUp")->trigger();
    EXPECT_EQ(QDir::currentPath(), here);
}

TEST_F(LocalPaneTest, TheRootStaysTheRoot)
{
    TMainForm& form = Open();
    QDir::setCurrent(QStringLiteral("/"));
    form.Action("aLocalDirectoryUp")->trigger();
    EXPECT_EQ(QDir::currentPath(), QStringLiteral("/"));
    EXPECT_FALSE(Model(form).Rows().empty());
}

TEST_F(LocalPaneTest, DoubleClickOnAFolderOpensItAndSelectAllSelectsEveryRow)
{
    MakeFiles();
    TMainForm& form = Open();
    form.SetLocalMask(QStringLiteral("*.*"));
    form.FillLocalFileList();
    auto* view = form.findChild<QAbstractItemView*>(QStringLiteral("LocalFileListView"));
    form.Action("aLocalSelectAll")->trigger();
    EXPECT_EQ(view->selectionModel()->selectedRows().size(), 5);
    view->selectionModel()->clearSelection();
    view->selectionModel()->select(Model(form).index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QString here = QDir::currentPath();
    emit view->doubleClicked(Model(form).index(1, 0));
    EXPECT_EQ(QDir::currentPath(), here + QStringLiteral("/zfolder"));
}
