#include "panes/FileSort.h"

#include <QCollator>

#include <algorithm>
#include <compare>
#include <limits>
#include <numeric>

namespace {

enum class TSortKey { Name, Size, Time, Rights };

TSortKey KeyOf(TFileRowComparator comparator, int column)
{
    if (comparator == SortByNameAsc || comparator == SortByNameDesc || column == 0)
        return TSortKey::Name;
    return column == 1 ? TSortKey::Size : column == 2 ? TSortKey::Time : TSortKey::Rights;
}

// The keys of every row, computed once: a number, or a text's collation key and length.
class TRowKeys {
public:
    TRowKeys(const std::vector<TFileRow>& rows, TSortKey key) : key_(key)
    {
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseSensitive);
        for (const TFileRow& row : rows) {
            switch (key) {
            case TSortKey::Name: texts_.push_back(collator.sortKey(row.entry.name)); break;
            case TSortKey::Size: numbers_.push_back(row.entry.size); break;
            case TSortKey::Time: numbers_.push_back(TimeKey(row.entry.modified)); break;
            case TSortKey::Rights:
                numbers_.push_back(row.entry.rights.size());
                texts_.push_back(collator.sortKey(row.entry.rights));
                break;
            }
        }
    }

    std::strong_ordering Compare(size_t first, size_t second) const
    {
        if (key_ != TSortKey::Name)
            if (const auto numbers = numbers_[first] <=> numbers_[second]; numbers != 0 || texts_.empty())
                return numbers;
        return texts_[first].compare(texts_[second]) <=> 0;
    }

private:
    static std::int64_t TimeKey(const TEntryTime& time)
    {
        return time.Known() ? LocalClockMilliseconds(time) : std::numeric_limits<std::int64_t>::min();
    }

    TSortKey key_;
    std::vector<std::int64_t> numbers_;
    std::vector<QCollatorSortKey> texts_;
};

}  // namespace

void SortFileRows(std::vector<TFileRow>& rows, TFileRowComparator comparator, int column)
{
    const TRowKeys keys(rows, KeyOf(comparator, column));
    const bool descending = comparator == SortByNameDesc || comparator == SortByColumnDesc;
    std::vector<size_t> order(rows.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t i, size_t j) {
        if (rows[i].entry.IsFolder() != rows[j].entry.IsFolder())
            return rows[i].entry.IsFolder();
        const std::strong_ordering compared = keys.Compare(i, j);
        return descending ? compared > 0 : compared < 0;
    });
    std::vector<TFileRow> sorted;
    sorted.reserve(rows.size());
    for (size_t index : order)
        sorted.push_back(std::move(rows[index]));
    rows = std::move(sorted);
}
