#pragma once
#include "panes/FileListModel.h"
#include "panes/FileListSorter.h"
#include "platform/ListFile.h"
#include "settings/WindowSettings.h"

#include <functional>

// The local file list: the process working directory listed through the mask box's mask.
class TLocalPane {
public:
    struct Sources {
        const TWindowOptions& options;
        const StringList& textExtensions;
        const StringList& imageExtensions;
        std::function<QString()> mask;
    };

    TLocalPane(TFileListModel& model, Sources sources);

    // Lists the working directory by the mask ("*.*" when empty) and sorts by iFileListSort.
    void FillLocalFileList();
    void ColumnClick(int column) { sorter_.ColumnClick(model_, column); }
    const TFileListSorter& Sorter() const { return sorter_; }

private:
    TFileListModel& model_;
    Sources sources_;
    TFileListSorter sorter_;
};
