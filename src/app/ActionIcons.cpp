#include "app/ActionIcons.h"

#include <QApplication>
#include <QStyle>

#include <map>

namespace {

struct TIconChoice {
    const char* themeName;
    QStyle::StandardPixmap fallback;
};

const std::map<int, TIconChoice>& IconChoices()
{
    static const std::map<int, TIconChoice> choices = {
        {0, {"network-server", QStyle::SP_DriveNetIcon}},             // connect
        {1, {"process-stop", QStyle::SP_BrowserStop}},                // abort
        {2, {"x-office-document", QStyle::SP_FileDialogContentsView}}, // log display
        {3, {"view-list", QStyle::SP_FileDialogListView}},            // list view style
        {4, {"preferences-system", QStyle::SP_FileDialogInfoView}},   // options, commands
        {5, {"media-playlist-repeat", QStyle::SP_BrowserReload}},     // transfer mode
        {6, {"system-file-manager", QStyle::SP_DirOpenIcon}},         // file manager
        {9, {"application-exit", QStyle::SP_DialogCloseButton}},      // exit
        {10, {"text-x-generic", QStyle::SP_FileIcon}},                // viewer
        {11, {"go-up", QStyle::SP_FileDialogToParent}},               // parent directory
        {12, {"go-last", QStyle::SP_MediaSeekForward}},               // upload all
        {13, {"go-next", QStyle::SP_ArrowRight}},                     // upload
        {14, {"list-add", QStyle::SP_MediaSkipForward}},              // append upload
        {15, {"document-open", QStyle::SP_DialogOpenButton}},         // open by association
        {16, {"view-refresh", QStyle::SP_BrowserReload}},             // refresh
        {17, {"folder-new", QStyle::SP_FileDialogNewFolder}},         // make directory
        {18, {"user-trash", QStyle::SP_TrashIcon}},                   // delete
        {19, {"document-edit", QStyle::SP_FileLinkIcon}},             // file names
        {20, {"user-bookmarks", QStyle::SP_DirLinkIcon}},             // bookmarks
        {21, {"document-properties", QStyle::SP_FileDialogDetailedView}}, // detailed listing
        {22, {"go-first", QStyle::SP_MediaSeekBackward}},             // download all
        {23, {"go-previous", QStyle::SP_ArrowLeft}},                  // download
        {24, {"media-playback-start", QStyle::SP_MediaSkipBackward}}, // resume download
    };
    return choices;
}

bool Drawable(const QIcon& icon)
{
    return !icon.isNull() && !icon.pixmap(QSize(16, 16)).isNull();
}

}  // namespace

QIcon ActionIcon(int imageIndex)
{
    const auto& choices = IconChoices();
    const auto it = choices.find(imageIndex);
    if (it == choices.end())
        return {};
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    const QIcon themed = QIcon::fromTheme(QString::fromLatin1(it->second.themeName));
    if (Drawable(themed))
        return themed;
    return QApplication::style()->standardIcon(it->second.fallback);
}
