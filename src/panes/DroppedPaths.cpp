#include "panes/DroppedPaths.h"

#include <QFileInfo>

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
