#pragma once
#include <QList>
#include <QString>
#include <QUrl>

// The directory a drop from the desktop opens: each dropped path in turn is a candidate — a
// folder itself, a file its containing folder — and the last candidate wins. Empty when no
// local path was dropped.
QString DirectoryOfDroppedPaths(const QList<QUrl>& urls);
