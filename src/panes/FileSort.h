#pragma once
#include "panes/FileRow.h"

#include <QCollator>

#include <vector>

enum TFileRowComparator { SortByNameAsc, SortByNameDesc, SortByColumnAsc, SortByColumnDesc };

// The comparators of both panes: directories first in every order; names by the locale's
// case-sensitive collation; column texts by length, then collation, so sizes order by value.
// Negative, zero or positive, as the first row goes before, with or after the second.
int CompareFileRows(const TFileRow& first, const TFileRow& second, TFileRowComparator comparator, int column,
                    const QCollator& collator);

// Sorts the rows stably with collation keys computed once per row.
void SortFileRows(std::vector<TFileRow>& rows, TFileRowComparator comparator, int column);

// The case-sensitive collator of the user's locale.
QCollator FileRowCollator();
