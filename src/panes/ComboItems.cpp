#include "panes/ComboItems.h"

#include <QComboBox>
#include <QStringList>

#include <algorithm>

namespace {

bool Before(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

int FindItem(const QComboBox& box, const QString& text, Qt::CaseSensitivity equality)
{
    for (int i = 0; i < box.count(); ++i)
        if (QString::compare(box.itemText(i), text, equality) == 0)
            return i;
    return -1;
}

}  // namespace

QStringList ItemTexts(const QComboBox& box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    return items;
}

int FindItemIgnoringCase(const QComboBox& box, const QString& text)
{
    return FindItem(box, text, Qt::CaseInsensitive);
}

void AddItemIfAbsent(QComboBox& box, const QString& text, Qt::CaseSensitivity equality)
{
    if (FindItem(box, text, equality) >= 0)
        return;
    int position = 0;
    while (position < box.count() && !Before(text, box.itemText(position)))
        ++position;
    const QString edited = box.currentText();
    box.insertItem(position, text);
    box.setEditText(edited);
}

void RememberMask(QComboBox& maskBox)
{
    const QString mask = maskBox.currentText().trimmed();
    if (!mask.isEmpty())
        AddItemIfAbsent(maskBox, mask);
}

void SetItemsSorted(QComboBox& box, QStringList items)
{
    std::stable_sort(items.begin(), items.end(), Before);
    const QString edited = box.currentText();
    box.clear();
    box.addItems(items);
    box.setEditText(edited);
}
