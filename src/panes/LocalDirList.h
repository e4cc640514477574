#pragma once
#include <QString>

class QListWidget;
class QListWidgetItem;

// Gives the list the indenting look of a directory tree; once, before the first ShowDirectoryChain.
void PrepareDirectoryList(QListWidget& list);

// The directory list of the local pane: the chain from the root down to the directory, one
// level of indent per step, then the directory's sub-directories one level deeper. The
// directory itself is the current entry.
void ShowDirectoryChain(QListWidget& list, const QString& directory);

// The full path an entry stands for.
QString EntryDirectory(const QListWidgetItem& item);
