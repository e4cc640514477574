#include "panes/DroppedPaths.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>

QString DirectoryOfDroppedPaths(const QList<QUrl>& urls)
{
    QString candidate;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        const QFileInfo info(url.toLocalFile());
        candidate = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    }
    return candidate;
}

QString AcceptDroppedDirectory(QDropEvent& event)
{
    const QString directory =
        event.mimeData()->hasUrls() ? DirectoryOfDroppedPaths(event.mimeData()->urls()) : QString();
    if (!directory.isEmpty())
        event.acceptProposedAction();
    return directory;
}
