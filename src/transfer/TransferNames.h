#pragma once
#include <QString>

class QComboBox;

// The remote side of a file-operation log line: profile, remote directory and name, joined
// by ":".
QString RemoteSpec(const QComboBox& profileNameBox, const QComboBox& remoteDirBox, const QString& name);

// A remote name that must never become a local path: empty, "." or "..", or holding a "/"
// (which would leave the local directory) or a control character.
bool UnsafeLocalName(const QString& name);

// The session-log line for a remote entry left alone because its name is unsafe locally.
QString UnsafeNameSkippedLine(const QString& name);
