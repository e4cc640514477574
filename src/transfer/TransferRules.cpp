#include "transfer/TransferRules.h"

#include "fileops/NameTransforms.h"
#include "panes/FileKinds.h"

bool ExtensionListed(const StringList& list, const QString& extension)
{
    if (extension.isEmpty())
        return false;
    for (const std::string& entry : list)
        if (QString::fromStdString(entry).compare(extension, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool IsBinaryTransfer(TTransferChoice mode, const StringList& textExtensions, const QString& name)
{
    switch (mode) {
    case TTransferChoice::ASCII:
        return false;
    case TTransferChoice::Binary:
        return true;
    case TTransferChoice::Auto:
        break;
    }
    return !ExtensionListed(textExtensions, FileExtension(name));
}

QString TransformName(int nameTransform, const QString& name)
{
    switch (nameTransform) {
    case 1:
        return UpperCaseName(name);
    case 2:
        return LowerCaseName(name);
    default:
        return name;
    }
}
