#pragma once
#include <QString>
#include <QStringList>

class QComboBox;

// The sorted combo boxes of the panes (directory history, masks): items in case-insensitive
// order, looked up without regard to letter case.

// The items' texts in box order.
QStringList ItemTexts(const QComboBox& box);
// Position of the item equal to text ignoring case, or -1.
int FindItemIgnoringCase(const QComboBox& box, const QString& text);
// Adds text at its sorted place unless an equal item exists; the remote history tells names
// apart by letter case, the other boxes do not.
void AddItemIfAbsent(QComboBox& box, const QString& text, Qt::CaseSensitivity equality = Qt::CaseInsensitive);
// A mask box left: its trimmed text joins the list when it is not empty and not there yet.
void RememberMask(QComboBox& maskBox);
// Replaces the items by these, in sorted order, the edit text kept.
void SetItemsSorted(QComboBox& box, QStringList items);
