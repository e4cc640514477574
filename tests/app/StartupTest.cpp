#include "MainFormFixture.h"

#include "log/Editor.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>

#include <sys/stat.h>

TEST_F(MainFormTest, FirstStartInAnEmptyDirectoryCreatesItsFilesAndLogsTheAboutLineAndDate)
{
    TMainForm& form = Open();
    EXPECT_EQ(form.AppDir().toStdString(), home_.Path());
    EXPECT_TRUE(QFileInfo(QString::fromStdString(home_.File("LST"))).isDir());
    struct stat info = {};
    ASSERT_EQ(stat(HomeFile("Marlux.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);  // it holds passwords

    ASSERT_EQ(form.LogPane()->LineCount(), 2);
    EXPECT_EQ(form.LogPane()->Line(1), QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
}

TEST_F(MainFormTest, StartupTimerOpensTheConnectionDialogAfterOneSecond)
{
    Open();
    QElapsedTimer clock;
    clock.start();
    while (dialogs_->DialogTitles().isEmpty() && clock.elapsed() < 3000)
        Pump(10);
    EXPECT_EQ(dialogs_->DialogTitles(), QStringList{QStringLiteral("接続先のプロファイル")});
    EXPECT_GE(clock.elapsed(), 800);  // not before the window is up
}

TEST_F(MainFormTest, AFileArgumentOpensItsFolderAndAFolderArgumentItself)
{
    TempDir other;
    TempDir::WriteFile(other.File("page.html"), "x");
    const QString expected = QDir(QString::fromStdString(other.Path())).canonicalPath();
    for (const std::string& argument : {other.File("page.html"), other.Path()}) {
        QDir::setCurrent(QString::fromStdString(work_.Path()));
        EXPECT_EQ(Open({QString::fromStdString(argument)}).Settings().LocalDirectory(), expected) << argument;
        CloseWindow();
    }
}
