#pragma once
#include <QString>
#include <QStringList>

class QComboBox;

// The sorted combo boxes of the panes (directory history, masks): items in case-insensitive
// order, looked up without regard to letter case.

// Position of the item equal to text ignoring case, or -1.
int FindItemIgnoringCase(const QComboBox& box, const QString& text);
// Adds text at its sorted place unless an item equal to it ignoring case exists.
void AddItemIfAbsent(QComboBox& box, const QString& text);
// Replaces the items by these, in sorted order, the edit text kept.
void SetItemsSorted(QComboBox& box, QStringList items);
