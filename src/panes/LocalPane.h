#pragma once
#include "panes/FileListModel.h"
#include "panes/FileListSorter.h"
#include "platform/ListFile.h"
#include "settings/WindowSettings.h"

class QAbstractItemView;
class QComboBox;

// The local file list: the process working directory listed through the mask box's mask.
class TLocalPane {
public:
    struct Sources {
        const TWindowOptions& options;
        const StringList& textExtensions;
        const StringList& imageExtensions;
        QAbstractItemView& view;
        QComboBox& dirBox;
        QComboBox& maskBox;
    };

    TLocalPane(TFileListModel& model, Sources sources);

    // Lists the working directory by the trimmed mask ("*.*" when empty, also put into the
    // box), shows the directory with a trailing "/" and sorts by iFileListSort.
    void FillLocalFileList();
    // Goes to the typed directory, or stays where it is when that fails; then fills.
    void aLocalRefreshExecute();
    void OpenLocalSubdirectory(const QString& name);
    // The parent directory; the root stays the root.
    void aLocalDirectoryUpExecute();
    void aLocalSelectAllExecute();
    void ColumnClick(int column) { sorter_.ColumnClick(model_, column); }
    const TFileListSorter& Sorter() const { return sorter_; }

private:
    TFileListModel& model_;
    Sources sources_;
    TFileListSorter sorter_;
};
