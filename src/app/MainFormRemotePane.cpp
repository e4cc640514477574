// The remote pane and the bookmarks, built over the window's controls, and what both panes'
// lists share.
#include "app/MainForm.h"

#include "service/ExceptionGuard.h"
#include "panes/Bookmarks.h"
#include "panes/DirBoxBehaviour.h"
#include "panes/FileViewStack.h"
#include "panes/PaneDropTarget.h"
#include "panes/RemotePane.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTreeView>
#include <QTreeWidget>

#include <algorithm>

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
            .enterBusyState = [this] { EnterBusyState(); },
        });
    TRemotePane& pane = *remotePane_;
    new TDirBoxBehaviour(*controls_.RemoteDirBox, lastDirBoxKey_, Guarded([&pane] { pane.aRemoteRefreshExecute(); }));
    connect(controls_.RemoteSysTreeView, &QTreeWidget::itemClicked, this,
            Guarded([&pane](QTreeWidgetItem* node, int) { pane.RemoteSysTreeViewClick(*node); }));
    controls_.RemoteMaskBox->setInsertPolicy(QComboBox::NoInsert);
    connect(controls_.RemoteMaskBox->lineEdit(), &QLineEdit::editingFinished, this,
            Guarded([&pane] { pane.RemoteMaskBoxExit(); }));
    actions_.SetHandler("aRemoteRefresh", [&pane] { pane.aRemoteRefreshExecute(); });
    actions_.SetHandler("aRemoteDirectoryUp", [&pane] { pane.aRemoteDirectoryUpExecute(); });
    actions_.SetHandler("aRemoteSelectAll", [&pane] { pane.aRemoteSelectAllExecute(); });
    QHeaderView* header = views->Report().header();
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this, Guarded([&pane](int column) { pane.ColumnClick(column); }));
    for (QAbstractItemView* view : views->Views()) {
        connect(view, &QAbstractItemView::doubleClicked, this, Guarded([this, views, &pane] {
                    FileListViewDblClick(*views, options_.iOnRemoteDblClick, "aRemoteFileView", "aDownload",
                                         [&pane](const TFileEntry& folder) { pane.OpenRemoteSubdirectory(folder.nameBytes); });
                }));
        // Rows dragged from the local list upload into the current remote directory.
        new TPaneDropTarget(
            *view, QString::fromLatin1(LocalRowsFormat),
            [this] { return SessionConnected() && Action(QStringLiteral("aUpload"))->isEnabled(); },
            Guarded([this] {
                if (Action(QStringLiteral("aUpload"))->isEnabled())
                    actions_.Run(QStringLiteral("aUpload"));
            }));
    }
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

QList<int> TMainForm::SelectedRows(const TFileViewStack& views) const
{
    QList<int> rows;
    for (const QModelIndex& index : views.Report().selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TMainForm::FileListViewDblClick(const TFileViewStack& views, int option, const char* viewAction,
                                     const char* transferAction,
                                     const std::function<void(const TFileEntry&)>& openFolder)
{
    const QList<int> rows = SelectedRows(views);
    if (rows.isEmpty())
        return;
    const TFileEntry& entry = views.Model().Row(rows.first()).entry;
    if (entry.IsFolder())
        openFolder(entry);
    else if (option == 0)
        actions_.Run(QString::fromLatin1(viewAction));
    else if (option == 1)
        actions_.Run(QString::fromLatin1(transferAction));
}
