// The image preview on the real window: the plug-ins built with the program (next to the test
// executable) decode the pictures of the local pane.
#include "MainFormFixture.h"

#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "preview/ImagePreview.h"
#include "preview/ImageViewForm.h"

#include <QAbstractItemView>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QTreeView>

#include <sys/stat.h>

namespace {

class PreviewTest : public MainFormTest {
protected:
    QAbstractItemView* LocalList() const { return &LocalFiles().Report(); }
    const TFileListModel& Model() const { return LocalFiles().Model(); }

    int RowOf(const char* caption) const { return int(Captions(Model()).indexOf(QString::fromUtf8(caption))); }

    void WritePicture(const char* name, int width, int height) const
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(qRgb(10, 200, 30));
        ASSERT_TRUE(image.save(QString::fromStdString(work_.File(name))));
    }

    // A left click on the row, as the mouse gives it.
    void Click(const char* caption)
    {
        QAbstractItemView* view = LocalList();
        const QPoint at = view->visualRect(view->model()->index(RowOf(caption), 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    }

    TImageViewForm* Preview() const { return form_->ImagePreview().PreviewWindow(); }
};

// A picture no plug-in accepts keeps the previous one; a folder, a text row, a file gone since the
// listing or a named pipe closes the preview, and so does the focus leaving the list.
TEST_F(PreviewTest, AClickedPictureShowsAtItsNaturalSizeAndOtherRowsCloseThePreview)
{
    WritePicture("p1.png", 2000, 1500);
    WritePicture("p2.jpg", 100, 80);
    WritePicture("gone.png", 30, 20);
    MakeWorkFiles({"bad.png", "notes.txt", "folder/"});  // bad.png holds no picture
    ASSERT_EQ(mkfifo(work_.File("pipe.png").c_str(), 0600), 0);
    TMainForm& form = OpenListing();
    form.activateWindow();
    Pump(50);
    std::remove(work_.File("gone.png").c_str());
    // The plug-ins' extensions mark pictures; ifjpeg.spi reports its filter in capitals.
    EXPECT_EQ(Model().Row(RowOf("p2.jpg")).icon, fiPicture);

    Click("p1.png");
    ASSERT_NE(Preview(), nullptr);
    EXPECT_TRUE(Preview()->isVisible());
    // The picture's pixels are the plug-ins' own tests.
    EXPECT_EQ(Preview()->size(), QSize(2000, 1500));
    EXPECT_TRUE(LocalList()->hasFocus());
    QTest::keyClick(LocalList(), Qt::Key_Down);  // the arrow keys preview picture after picture
    EXPECT_EQ(Preview()->size(), QSize(100, 80));
    const qint64 shown = Preview()->Image1()->pixmap().cacheKey();
    Click("bad.png");
    ASSERT_NE(Preview(), nullptr);
    EXPECT_EQ(Preview()->Image1()->pixmap().cacheKey(), shown);

    for (const char* closer : {"notes.txt", "folder", "gone.png", "pipe.png"}) {
        Click("p2.jpg");
        ASSERT_NE(Preview(), nullptr);
        Click(closer);
        EXPECT_EQ(Preview(), nullptr) << closer;
    }
    Click("p2.jpg");
    ASSERT_NE(Preview(), nullptr);
    form.findChild<QAbstractItemView*>(QStringLiteral("RemoteFileListView"))->setFocus();
    form.UpdateActionStates();
    EXPECT_EQ(Preview(), nullptr);
}

}  // namespace
