#pragma once
#include <QList>
#include <QString>
#include <QUrl>

class QDropEvent;

// The directory a drop from the desktop opens: each dropped path in turn is a candidate — a
// folder itself, a file its containing folder — and the last candidate wins. Empty when no
// local path was dropped.
QString DirectoryOfDroppedPaths(const QList<QUrl>& urls);
// The directory a drag or drop event of the desktop would open; the event is accepted when
// there is one.
QString AcceptDroppedDirectory(QDropEvent& event);
