// The remote pane and the bookmarks, built over the window's controls.
#include "app/MainForm.h"

#include "app/PaneWiring.h"
#include "panes/Bookmarks.h"
#include "panes/FileViewStack.h"
#include "panes/PaneDropTarget.h"
#include "panes/RemotePane.h"
#include "service/ExceptionGuard.h"

#include <QTreeWidget>

void TMainForm::SetUpRemotePane()
{
    TFileViewStack* views = controls_.RemoteFileListView;
    remotePane_ = std::make_unique<TRemotePane>(
        views->Model(),
        TRemotePane::Sources{
            .service = service_,
            .options = options_,
            .textExtensions = extensions_.TextExtList,
            .imageExtensions = extensions_.ImageExtList,
            .view = views->Report(),
            .dirBox = *controls_.RemoteDirBox,
            .maskBox = *controls_.RemoteMaskBox,
            .tree = *controls_.RemoteSysTreeView,
            .fitColumns = [views] { views->FitColumnsToNewRows(); },
            .busy = *this,
        });
    TRemotePane& pane = *remotePane_;
    connect(controls_.RemoteSysTreeView, &QTreeWidget::itemClicked, this,
            Guarded([&pane](QTreeWidgetItem* node, int) { pane.RemoteSysTreeViewClick(*node); }));
    actions_.SetHandler("aRemoteRefresh", [&pane] { pane.aRemoteRefreshExecute(); });
    actions_.SetHandler("aRemoteDirectoryUp", [&pane] { pane.aRemoteDirectoryUpExecute(); });
    actions_.SetHandler("aRemoteSelectAll", [&pane] { pane.aRemoteSelectAllExecute(); });
    WirePane(*this, {.views = *views,
                     .dirBox = *controls_.RemoteDirBox,
                     .maskBox = *controls_.RemoteMaskBox,
                     .lastDirBoxKey = lastDirBoxKey_,
                     .actions = actions_,
                     .refresh = [&pane] { pane.aRemoteRefreshExecute(); },
                     .maskBoxExit = [&pane] { pane.RemoteMaskBoxExit(); },
                     .columnClick = [&pane](int column) { pane.ColumnClick(column); },
                     .doubleClickOption = [this] { return options_.iOnRemoteDblClick; },
                     .viewAction = QStringLiteral("aRemoteFileView"),
                     .transferAction = QStringLiteral("aDownload"),
                     .openFolder = [&pane](const TFileEntry& folder) { pane.OpenRemoteSubdirectory(folder.nameBytes); },
                     .folderUpAction = QStringLiteral("aRemoteDirectoryUp"),
                     .deleteAction = QStringLiteral("aRemoteFileDelete"),
                     .droppedRowsFormat = QString::fromLatin1(LocalRowsFormat),
                     .dropAction = QStringLiteral("aUpload"),
                     .connected = [this] { return SessionConnected(); }});
    actions_.AddEnablingRule(TRemotePane::EnableActions);
}

void TMainForm::SetUpBookmarks()
{
    bookmarks_ = std::make_unique<TBookmarks>(TBookmarks::Sources{.window = *this,
                                                                  .dialogs = dialogs_,
                                                                  .profileNameBox = *controls_.ProfileNameBox,
                                                                  .localDirBox = *controls_.LocalDirBox,
                                                                  .remoteDirBox = *controls_.RemoteDirBox});
    TBookmarks& bookmarks = *bookmarks_;
    actions_.SetHandler("aLocalBookmark", [&bookmarks] { bookmarks.aLocalBookmarkExecute(); });
    actions_.SetHandler("aRemoteBookmark", [&bookmarks] { bookmarks.aRemoteBookmarkExecute(); });
}
