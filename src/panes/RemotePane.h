#pragma once
#include "panes/FileListModel.h"
#include "panes/FileListSorter.h"
#include "panes/RemoteTree.h"
#include "platform/ListFile.h"
#include "service/Command.h"
#include "settings/ActionEnabling.h"
#include "settings/WindowSettings.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>
#include <vector>

class QAbstractItemView;
class QComboBox;
class QTreeWidget;
class QTreeWidgetItem;
class TBusyDisplay;
class TSessionService;

// The remote pane: one directory of the server, shown in the tree, the directory box with its
// history, and listed through the mask box's mask (the server applies it) into the file list.
// Paths and names keep the server's bytes; the controls show their decoded text.
class TRemotePane {
public:
    struct Sources {
        TSessionService& service;
        const TWindowOptions& options;
        const StringList& textExtensions;
        const StringList& imageExtensions;
        QAbstractItemView& view;
        QComboBox& dirBox;
        QComboBox& maskBox;
        QTreeWidget& tree;
        // FitColumns of the remote list.
        std::function<void()> fitColumns;
        // Entered before the listing; the end of its data transfer leaves the busy state, and
        // so does the error handler when the server refuses it.
        TBusyDisplay& busy;
    };

    TRemotePane(TFileListModel& model, Sources sources);

    // The pane's share of the action enabling: its commands need a session.
    static void EnableActions(const TEnablingFacts& facts, const TActionSwitch& actions);

    // Goes to the directory in the box (the server's current one when empty) and lists it.
    void aRemoteRefreshExecute();
    TTask<> Refresh();
    // Enters a sub-directory of the current directory, named by its listed bytes.
    void OpenRemoteSubdirectory(const QByteArray& name);
    void aRemoteDirectoryUpExecute();
    void aRemoteSelectAllExecute();
    void RemoteSysTreeViewClick(const QTreeWidgetItem& node);
    void RemoteMaskBoxExit();
    void ColumnClick(int column) { sorter_.ColumnClick(model_, column); }
    void SortAndFitRemoteList();
    // Empties the rows and the tree when the connection ends (the engine forgets its listing).
    void ClearListing();

    const TRemoteTree& Tree() const { return tree_; }
    const TFileListSorter& Sorter() const { return sorter_; }

private:
    void FillRemoteFileList();
    void AddRemoteDirHistory();
    // Shows a path of the server in the box and remembers its bytes.
    void ShowPath(const QByteArray& path);
    // The absolute paths a directory box text may stand for: those the server reported for
    // that text, else its forms in the name encodings, the likeliest first (EUnsendableName when
    // it has none).
    std::vector<QByteArray> PathCandidates(const QString& text) const;
    // Changes to the first of the candidates the server accepts and gives the server's path of
    // it; no candidates stay in the current directory.
    TTask<QByteArray> ChangeToFolder(std::vector<QByteArray> candidates);
    TTask<> DirectoryUp();

    TFileListModel& model_;
    Sources sources_;
    TFileListSorter sorter_;
    TRemoteTree tree_;
    QHash<QString, QByteArray> serverPaths_;
};
