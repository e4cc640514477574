#pragma once
#include <QString>
#include <QStringList>

#include <optional>

// The remote directory history of a profile: one list file per profile in LstDir, named after
// the profile with ".lst" appended.

// The file name part for a profile. Ordinary names map unchanged, so existing histories keep
// working; a name holding "/" or made of "." or ".." would leave LstDir or name a directory,
// so "%", "/" and, in those two names, "." are written as "%25", "%2F" and "%2E".
QString RemoteHistoryFileName(const QString& profileName);
QString RemoteHistoryPath(const QString& lstDir, const QString& profileName);

// The saved entries, or nothing when the profile has no history file.
std::optional<QStringList> LoadRemoteHistory(const QString& lstDir, const QString& profileName);
// Replaces the profile's history file; throws std::runtime_error when it cannot be written.
void SaveRemoteHistory(const QString& lstDir, const QString& profileName, const QStringList& entries);
