#pragma once
#include <QKeySequence>
#include <QString>

// Shortcut keys as "KeyList.ini" stores them: the modifiers in the order "Shift+", "Ctrl+",
// "Alt+", then the key's name ("U", "F5", "BkSp", "PgUp", "Enter", ...). An empty text is no
// shortcut.

// The text of the first key of the sequence; empty for no shortcut.
QString ShortCutToText(const QKeySequence& key);
// The shortcut a text denotes; an empty sequence when the text is empty or not a valid shortcut.
// Modifier names and key names are compared without regard to case.
QKeySequence TextToShortCut(const QString& text);
