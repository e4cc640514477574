#pragma once
#include <QString>

// Name changes shared by the local and the remote file operations.

// Everything from the first "." on gives way to ext, used as typed (it carries its own dot);
// a name without a dot gets ext appended.
QString ExtensionChangedName(const QString& name, const QString& ext);

// The whole name in upper or lower case, with the locale's case mapping.
QString UpperCaseName(const QString& name);
QString LowerCaseName(const QString& name);
