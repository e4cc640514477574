#include "panes/ComboItems.h"

#include <QComboBox>
#include <QStringList>

#include <algorithm>

namespace {

bool Before(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

}  // namespace

int FindItemIgnoringCase(const QComboBox& box, const QString& text)
{
    for (int i = 0; i < box.count(); ++i)
        if (QString::compare(box.itemText(i), text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void AddItemIfAbsent(QComboBox& box, const QString& text)
{
    if (FindItemIgnoringCase(box, text) >= 0)
        return;
    int position = 0;
    while (position < box.count() && !Before(text, box.itemText(position)))
        ++position;
    const QString edited = box.currentText();
    box.insertItem(position, text);
    box.setEditText(edited);
}

void SetItemsSorted(QComboBox& box, QStringList items)
{
    std::stable_sort(items.begin(), items.end(), Before);
    const QString edited = box.currentText();
    box.clear();
    box.addItems(items);
    box.setEditText(edited);
}
