#include "app/HelpPage.h"

#include "platform/ProgramDir.h"

#include <QFile>
#include <QSaveFile>

#include <stdexcept>

QString WriteHelpPage(const QString& appDir)
{
    const QString path = QString::fromStdString(ProgramFilePath(appDir.toStdString(), ProgramFile::Help));
    QFile shipped(QStringLiteral(":/help/Marlux.html"));
    if (!shipped.open(QIODevice::ReadOnly))
        throw std::runtime_error("help page missing from the program");
    const QByteArray page = shipped.readAll();
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly) || target.write(page) != page.size() || !target.commit())
        throw std::runtime_error("cannot write " + path.toStdString());
    return path;
}
