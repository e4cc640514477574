// The image preview, built over the local file list.
#include "app/MainForm.h"

#include "service/ExceptionGuard.h"
#include "panes/LocalPane.h"
#include "platform/ProgramDir.h"
#include "preview/ImagePreview.h"

#include <QFileInfo>

void TMainForm::SetUpImagePreview()
{
    imagePreview_ = std::make_unique<TImagePreview>(TImagePreview::Sources{
        *this, *controls_.LocalFileListView, [this] { return localPane_->Folder(); }, extensions_.ImageExtList,
        QFileInfo(QString::fromStdString(CurrentExecutablePath())).absolutePath(),
        [](const std::function<void()>& step) { Guarded(step)(); }});
    TImagePreview& preview = *imagePreview_;
    // Not an action of its own: the preview closes in the enabling pass once the list has lost
    // the focus.
    actions_.AddEnablingRule([&preview](const TEnablingFacts&, const TActionSwitch&) { preview.ClosePreviewUnlessListFocused(); });
}
