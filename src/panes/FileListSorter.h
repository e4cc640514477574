#pragma once
#include "panes/FileListModel.h"

// The sort of a file list view: the order of iFileListSort after every fill, and column clicks that
// alternate the direction with one next-descending flag per view.
class TFileListSorter {
public:
    // iFileListSort 0-5 picks the comparator and column; other values keep the listing order.
    void SortAfterFill(TFileListModel& model, int iFileListSort);
    void ColumnClick(TFileListModel& model, int column);
    int NextDescending() const { return nextDescending_; }

private:
    int nextDescending_ = 1;
};
