#include "MainFormFixture.h"

#include <QDir>
#include <QElapsedTimer>

#include <cstdio>

// A second after the start the connection dialog opens.
TEST_F(MainFormTest, AFileArgumentOpensItsFolderAFolderArgumentItselfAndTheConnectionDialogFollows)
{
    TempDir other;
    TempDir::WriteFile(other.File("page.html"), "x");
    const QString expected = QDir(QString::fromStdString(other.Path())).canonicalPath();
    for (const std::string& argument : {other.Path(), other.File("page.html")}) {
        if (form_)
            CloseWindow();
        std::remove(HomeFile("Marlux.ini").c_str());  // the last run pinned its directory there
        QDir::setCurrent(QString::fromStdString(work_.Path()));
        EXPECT_EQ(Open({QString::fromStdString(argument)}).Settings().LocalDirectory(), expected) << argument;
    }
    QElapsedTimer clock;
    clock.start();
    while (dialogs_->DialogTitles().isEmpty() && clock.elapsed() < 3000)
        Pump(10);
    EXPECT_EQ(dialogs_->DialogTitles(), QStringList{QStringLiteral("接続先のプロファイル")});
    EXPECT_GE(clock.elapsed(), 800);  // not before the window is up
}
