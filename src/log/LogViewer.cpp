#include "log/LogViewer.h"

#include "log/Editor.h"
#include "platform/ProgramDir.h"

#include <QProcess>

namespace {

QString LogFilePath(const QString& appDir, const char* name)
{
    return QString::fromStdString(ProgramFilePath(appDir.toStdString(), name));
}

}

bool StartViewer(const QString& viewerProgram, const QString& path)
{
    if (viewerProgram.isEmpty())
        return false;
    return QProcess::startDetached(viewerProgram, {path});
}

QString SaveSessionLog(const TEditor& pane, const QString& appDir)
{
    const QString path = LogFilePath(appDir, ProgramFile::SessionLog);
    pane.SaveToFile(path);
    return path;
}
