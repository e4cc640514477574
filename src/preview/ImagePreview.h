#pragma once
#include "platform/ListFile.h"
#include "preview/ImagePlugins.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QModelIndex;
class QObject;
class QWidget;
class TFileViewStack;
class TImageViewForm;

// The image preview: the plug-in manager, and the preview window beside the main window that
// shows the picture file selected in the local list.
class TImagePreview {
public:
    struct Sources {
        // The preview sits just left of it and goes with it.
        QWidget& mainWindow;
        TFileViewStack& localFiles;
        // The local pane's directory.
        std::function<QString()> localDirectory;
        const StringList& imageExtensions;
        // Where the plug-ins are: the directory of the executable.
        QString pluginDir;
        // Runs the step of a click or key release in the list, as the window runs its handlers.
        std::function<void(const std::function<void()>&)> runGuarded;
    };

    explicit TImagePreview(Sources sources);
    TImagePreview(const TImagePreview&) = delete;
    TImagePreview& operator=(const TImagePreview&) = delete;
    ~TImagePreview();

    // The extensions the plug-ins read, for ImageExtList at start-up.
    StringList LoadImageExtensions() const;
    // On a click or key release in the local list: previews the first selected row when it is
    // a picture file, closes the preview when it is anything else.
    void ShowPreview();
    // Closes the preview when the local list has lost the keyboard focus (run with the action
    // enabling).
    void ClosePreviewUnlessListFocused();
    // The preview window, or null while none is shown.
    TImageViewForm* PreviewWindow() const;

private:
    bool IsPictureFile(const QString& path) const;
    QModelIndex FirstSelectedRow() const;
    void PlacePreview(const QModelIndex& row);
    void ClosePreview();

    Sources sources_;
    TImagePlugins plugins_;
    QPointer<TImageViewForm> previewWindow_;
    // Watches the local list's clicks and key releases.
    std::unique_ptr<QObject> listWatch_;
};
