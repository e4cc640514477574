#include "session/RemoteHistory.h"

#include "platform/ListFile.h"
#include "platform/ProgramDir.h"

QString RemoteHistoryFileName(const QString& profileName)
{
    const bool dotsOnly = profileName == QLatin1String(".") || profileName == QLatin1String("..");
    if (!profileName.contains(u'/') && !dotsOnly)
        return profileName + QStringLiteral(".lst");
    QString escaped = profileName;
    escaped.replace(u'%', QStringLiteral("%25")).replace(u'/', QStringLiteral("%2F"));
    if (dotsOnly)
        escaped.replace(u'.', QStringLiteral("%2E"));
    return escaped + QStringLiteral(".lst");
}

QString RemoteHistoryPath(const QString& lstDir, const QString& profileName)
{
    return QString::fromStdString(ProgramFilePath(lstDir.toStdString(), RemoteHistoryFileName(profileName).toStdString()));
}

std::optional<QStringList> LoadRemoteHistory(const QString& lstDir, const QString& profileName)
{
    const std::optional<StringList> entries = LoadListFile(RemoteHistoryPath(lstDir, profileName).toStdString());
    if (!entries)
        return std::nullopt;
    QStringList items;
    items.reserve(static_cast<qsizetype>(entries->size()));
    for (const std::string& entry : *entries)
        items.append(QString::fromStdString(entry));
    return items;
}

void SaveRemoteHistory(const QString& lstDir, const QString& profileName, const QStringList& entries)
{
    StringList lines;
    lines.reserve(static_cast<size_t>(entries.size()));
    for (const QString& entry : entries)
        lines.push_back(entry.toStdString());
    SaveListFile(RemoteHistoryPath(lstDir, profileName).toStdString(), lines);
}
