#include "preview/ImagePreview.h"

#include "panes/FileKinds.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "preview/ImageViewForm.h"
#include "service/FileExtensions.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QScreen>
#include <QTreeView>

#include <algorithm>

namespace {

// Runs a step when a key is let go in the watched view (not for auto-repeat).
class TKeyReleaseWatch : public QObject {
public:
    explicit TKeyReleaseWatch(std::function<void()> step) : step_(std::move(step)) {}

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(event)->isAutoRepeat())
            step_();
        return false;
    }

private:
    std::function<void()> step_;
};

}  // namespace

TImagePreview::TImagePreview(Sources sources)
    : sources_(std::move(sources)), plugins_(sources_.pluginDir),
      listWatch_(std::make_unique<TKeyReleaseWatch>([this] { sources_.runGuarded([this] { ShowPreview(); }); }))
{
    // Both end with listWatch_, so the list never calls into a preview that has gone.
    for (QAbstractItemView* view : sources_.localFiles.Views()) {
        QObject::connect(view, &QAbstractItemView::clicked, listWatch_.get(),
                         [this] { sources_.runGuarded([this] { ShowPreview(); }); });
        view->installEventFilter(listWatch_.get());
    }
}

TImagePreview::~TImagePreview()
{
    ClosePreview();
}

StringList TImagePreview::LoadImageExtensions() const
{
    return SplitListText(plugins_.LoadPluginExtensions().toStdString());
}

TImageViewForm* TImagePreview::PreviewWindow() const
{
    return previewWindow_;
}

QModelIndex TImagePreview::FirstSelectedRow() const
{
    const QItemSelectionModel* selection = sources_.localFiles.Report().selectionModel();
    QModelIndexList rows = selection ? selection->selectedRows() : QModelIndexList();
    if (rows.isEmpty())
        return {};
    return *std::min_element(rows.begin(), rows.end(),
                             [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
}

bool TImagePreview::IsPictureFile(const QString& path) const
{
    const QFileInfo file(path);
    if (!file.isFile())
        return false;
    const QString extension = FileExtension(file.fileName());
    return !extension.isEmpty() &&
           std::any_of(sources_.imageExtensions.begin(), sources_.imageExtensions.end(), [&](const std::string& entry) {
               return QString::fromStdString(entry).compare(extension, Qt::CaseInsensitive) == 0;
           });
}

void TImagePreview::ShowPreview()
{
    const QModelIndex row = FirstSelectedRow();
    if (!row.isValid())
        return;
    const QString path =
        QDir(sources_.localDirectory()).filePath(sources_.localFiles.Model().Row(row.row()).entry.name);
    if (!IsPictureFile(path)) {
        ClosePreview();
        return;
    }
    if (!previewWindow_)
        previewWindow_ = new TImageViewForm(&sources_.mainWindow);
    const TImagePlugins::TDrawnPicture drawn = plugins_.DrawPicture(path, *previewWindow_->Image1());
    if (drawn.result != 0) {
        previewWindow_->resize(drawn.width, drawn.height);
        previewWindow_->SetSizeHint(drawn.height, drawn.width);
    }
    PlacePreview(row);
    previewWindow_->show();
    sources_.localFiles.currentWidget()->setFocus();
}

void TImagePreview::PlacePreview(const QModelIndex& row)
{
    QAbstractItemView* view = static_cast<QAbstractItemView*>(sources_.localFiles.currentWidget());
    const int rowTop = view->viewport()->mapToGlobal(view->visualRect(row).topLeft()).y();
    // Right edge against the main window's left edge (borderless: its width is all of it). A
    // window at the screen's left edge or maximised leaves no room there: the preview then starts
    // at the screen's left edge instead of being shown where nobody can see it.
    const int besideWindow = sources_.mainWindow.frameGeometry().left() - previewWindow_->width();
    const QScreen* screen = sources_.mainWindow.screen();
    const int screenLeft = screen ? screen->availableGeometry().left() : besideWindow;
    previewWindow_->move(std::max(besideWindow, screenLeft), rowTop);
}

void TImagePreview::ClosePreviewUnlessListFocused()
{
    if (!previewWindow_)
        return;
    const auto views = sources_.localFiles.Views();
    if (std::none_of(views.begin(), views.end(), [](const QAbstractItemView* view) { return view->hasFocus(); }))
        ClosePreview();
}

void TImagePreview::ClosePreview()
{
    delete previewWindow_.data();
}
