#include "panes/FileListSorter.h"

void TFileListSorter::SortAfterFill(TFileListModel& model, int iFileListSort) {
    static const struct {
        TFileRowComparator comparator;
        int column;
    } orders[] = {{SortByNameAsc, 0},   {SortByNameDesc, 0},   {SortByColumnAsc, 1},
                  {SortByColumnDesc, 1}, {SortByColumnAsc, 2}, {SortByColumnDesc, 2}};
    if (iFileListSort >= 0 && iFileListSort < 6) model.Sort(orders[iFileListSort].comparator, orders[iFileListSort].column);
    nextDescending_ = iFileListSort % 2 == 0 ? 1 : 0;
}

void TFileListSorter::ColumnClick(TFileListModel& model, int column) {
    const bool descending = nextDescending_ != 0;
    if (column == 0)
        model.Sort(descending ? SortByNameDesc : SortByNameAsc, 0);
    else
        model.Sort(descending ? SortByColumnDesc : SortByColumnAsc, column);
    nextDescending_ = descending ? 0 : 1;
}
