#pragma once
#include <QString>

class QComboBox;

// The sorted combo boxes of the panes (directory history, masks): items in case-insensitive
// order, looked up without regard to letter case.

// Position of the item equal to text ignoring case, or -1.
int FindItemIgnoringCase(const QComboBox& box, const QString& text);
// Adds text at its sorted place unless an item equal to it ignoring case exists.
void AddItemIfAbsent(QComboBox& box, const QString& text);
// Puts the items in sorted order, the edit text kept.
void SortItems(QComboBox& box);
