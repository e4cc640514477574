#pragma once
#include "panes/FileRow.h"

#include <vector>

enum TFileRowComparator { SortByNameAsc, SortByNameDesc, SortByColumnAsc, SortByColumnDesc };

// Sorts the rows of either pane stably, by the comparator and, for the column comparators, the
// column: folders first in every order; names by the locale's case-sensitive collation; sizes
// by value; times in time order on the local clock, an unknown time before every known one; the
// attribute column by its text's length, then collation. A descending order reverses every
// step but the first.
void SortFileRows(std::vector<TFileRow>& rows, TFileRowComparator comparator, int column);
