// The preview subsystem over a real file list, with and without plug-ins in its program
// directory (the window always uses the executable's own directory, which has them).
#include "fixtures/TempDir.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "preview/ImagePreview.h"
#include "preview/ImageViewForm.h"

#include <QImage>
#include <QTreeView>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class ImagePreview : public ::testing::Test {
protected:
    ImagePreview()
    {
        QImage picture(12, 9, QImage::Format_RGB32);
        picture.fill(Qt::red);
        picture.save(QString::fromStdString(pictures_.File("a.png")));
        model_->SetRows({TFileRow{QStringLiteral("a.png"), {}, fiPicture}});
        stack_->setParent(&mainWindow_);
        mainWindow_.resize(400, 300);
        mainWindow_.show();
    }

    // Loads the extensions from dir as the start-up does, then clicks the picture's row.
    TImageViewForm* PreviewWith(const QString& dir)
    {
        TImagePreview preview({mainWindow_, *stack_, [this] { return QString::fromStdString(pictures_.Path()); },
                               extensions_, dir, [](const std::function<void()>& step) { step(); }});
        extensions_ = preview.LoadImageExtensions();
        stack_->Report().selectionModel()->select(model_->index(0, 0),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
        preview.ShowPreview();
        shownSize_ = preview.PreviewWindow() ? preview.PreviewWindow()->size() : QSize();
        return preview.PreviewWindow();
    }

    TempDir pictures_;
    TempDir emptyProgramDir_;
    StringList extensions_;
    QWidget mainWindow_;
    TFileListModel* model_ = new TFileListModel(&mainWindow_);
    TFileViewStack* stack_ = new TFileViewStack(QStringLiteral("LocalFileListView"), model_);
    QSize shownSize_;
};

TEST_F(ImagePreview, NoPluginsNoExtensionsAndNoPreview)
{
    EXPECT_EQ(PreviewWith(QString::fromStdString(emptyProgramDir_.Path())), nullptr);
    EXPECT_TRUE(extensions_.empty());

    EXPECT_NE(PreviewWith(QStringLiteral(MARLUX_BIN_DIR)), nullptr);
    EXPECT_FALSE(extensions_.empty());
    EXPECT_EQ(shownSize_, QSize(12, 9));
}

}  // namespace
