#include "panes/FileSort.h"

#include <algorithm>
#include <numeric>

namespace {

// The text a comparator orders by: the caption for the name sorts, sub-item n-1 otherwise.
const QString& SortText(const TFileRow& row, TFileRowComparator comparator, int column) {
    static const QString empty;
    if (comparator == SortByNameAsc || comparator == SortByNameDesc) return row.caption;
    const int index = column - 1;
    return index >= 0 && index < int(row.subItems.size()) ? row.subItems[size_t(index)] : empty;
}

// The kind key leads every key, so "0" (directory) before "1" (file) decides first in every
// order; the descending name sort inverts it and then reverses the result, which comes to
// the same. What follows the kind is compared by the comparator's own rule.
int CompareKind(const TFileRow& first, const TFileRow& second) {
    return int(second.IsFolder()) - int(first.IsFolder());
}

int Sign(qsizetype value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

// Compares the texts after the kind step, given their collation result.
int CompareTexts(const QString& a, const QString& b, int collated, TFileRowComparator comparator) {
    switch (comparator) {
    case SortByNameAsc: return collated;
    case SortByNameDesc: return -collated;
    case SortByColumnAsc:
        if (a.size() != b.size()) return Sign(a.size() - b.size());
        return collated;
    case SortByColumnDesc:
        if (a.size() != b.size()) return Sign(b.size() - a.size());
        return -collated;
    }
    return 0;
}

}  // namespace

QCollator FileRowCollator() {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
    return collator;
}

int CompareFileRows(const TFileRow& first, const TFileRow& second, TFileRowComparator comparator, int column,
                    const QCollator& collator) {
    if (int kind = CompareKind(first, second)) return kind;
    const QString& a = SortText(first, comparator, column);
    const QString& b = SortText(second, comparator, column);
    return CompareTexts(a, b, Sign(collator.compare(a, b)), comparator);
}

void SortFileRows(std::vector<TFileRow>& rows, TFileRowComparator comparator, int column) {
    const QCollator collator = FileRowCollator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(rows.size());
    for (const TFileRow& row : rows) keys.push_back(collator.sortKey(SortText(row, comparator, column)));
    std::vector<size_t> order(rows.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t i, size_t j) {
        if (int kind = CompareKind(rows[i], rows[j])) return kind < 0;
        const QString& a = SortText(rows[i], comparator, column);
        const QString& b = SortText(rows[j], comparator, column);
        return CompareTexts(a, b, Sign(keys[i].compare(keys[j])), comparator) < 0;
    });
    std::vector<TFileRow> sorted;
    sorted.reserve(rows.size());
    for (size_t index : order) sorted.push_back(std::move(rows[index]));
    rows = std::move(sorted);
}
