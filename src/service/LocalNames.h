#pragma once
#include <QString>

// A remote name that must never become a local path: empty, "." or "..", or holding a "/"
// (which would leave the local directory) or a control character.
bool UnsafeLocalName(const QString& name);

// The session-log line for a remote entry left alone because its name is unsafe locally.
QString UnsafeNameSkippedLine(const QString& name);
