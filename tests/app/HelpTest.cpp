// The help menu's contents open the manual beside the program; the program's icon is built in.
#include "MainFormFixture.h"

#include "app/MarluxApplication.h"
#include "platform/ProgramDir.h"

#include <QDesktopServices>
#include <QUrl>

#include <filesystem>

namespace {

// Stands in for the desktop's browser.
class TOpenedUrls : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void Open(const QUrl& url) { urls.append(url); }
};

}  // namespace

TEST_F(MainFormTest, HelpContentsOpenTheManualsContentsPageWhereItReallyIs)
{
    TOpenedUrls browser;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &browser, "Open");
    TMainForm& form = Open();
    form.Action("aTopics")->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

    // The test program's folder is a program folder too: its manual is a link to the sources.
    const std::filesystem::path contents =
        std::filesystem::path(CurrentExecutablePath()).parent_path() / "manual" / "index.html";
    ASSERT_EQ(browser.urls.size(), 1);
    EXPECT_EQ(browser.urls[0], QUrl::fromLocalFile(QString::fromStdString(std::filesystem::canonical(contents).string())));
    EXPECT_TRUE(dialogs_->Shown().isEmpty());
}

TEST(ProgramIcon, HoldsTheSmallAndTheLargePicture)
{
    const QList<QSize> sizes = ProgramIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(48, 48)));
    EXPECT_TRUE(sizes.contains(QSize(256, 256)));
}

#include "HelpTest.moc"
