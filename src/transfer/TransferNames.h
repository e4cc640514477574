#pragma once
#include <QString>

class QComboBox;

// The remote side of a file-operation log line: profile, remote directory and name, joined
// by ":".
QString RemoteSpec(const QString& profileName, const QString& remoteFolder, const QString& name);
QString RemoteSpec(const QComboBox& profileNameBox, const QComboBox& remoteDirBox, const QString& name);
