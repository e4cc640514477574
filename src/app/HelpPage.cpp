#include "app/HelpPage.h"

#include <QFileInfo>

QString ManualContentsPage(const QString& programDir)
{
    return QFileInfo(programDir + QStringLiteral("/manual/index.html")).canonicalFilePath();
}
