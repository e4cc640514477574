#pragma once
#include <QFile>
#include <QString>

#include <string>

// Local paths, with "/" as the separator.

// The path with one trailing "/" (the root keeps its own).
inline QString WithTrailingSlash(const QString& path)
{
    return path.endsWith(u'/') ? path : path + u'/';
}

// Path of an entry of a directory.
inline QString LocalEntryPath(const QString& directory, const QString& name)
{
    return WithTrailingSlash(directory) + name;
}

// A local path as the file system takes it: the locale's encoding of the name.
inline std::string NativePath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}
