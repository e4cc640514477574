#include "fileops/NameTransforms.h"

#include <QLocale>

QString ExtensionChangedName(const QString& name, const QString& ext)
{
    const qsizetype dot = name.indexOf(u'.');
    return (dot < 0 ? name : name.left(dot)) + ext;
}

QString UpperCaseName(const QString& name)
{
    return QLocale::system().toUpper(name);
}

QString LowerCaseName(const QString& name)
{
    return QLocale::system().toLower(name);
}
