#include "MainFormFixture.h"

#include <QDir>
#include <QElapsedTimer>

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
