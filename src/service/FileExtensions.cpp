#include "service/FileExtensions.h"

#include <algorithm>

QString FileExtension(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    const qsizetype separator = std::max(name.lastIndexOf(u'\\'), name.lastIndexOf(u':'));
    if (dot < 0 || dot < separator)
        return {};
    return name.mid(dot).toLower();
}

bool ExtensionListed(const StringList& list, const QString& extension)
{
    if (extension.isEmpty())
        return false;
    for (const std::string& entry : list)
        if (QString::fromStdString(entry).compare(extension, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}
