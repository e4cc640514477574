#pragma once
#include <QStringList>

// The lines of a log pane, top first.
template <class Pane>
QStringList PaneLines(const Pane& pane)
{
    QStringList lines;
    for (int i = 0; i < pane.LineCount(); ++i)
        lines << pane.Line(i);
    return lines;
}
