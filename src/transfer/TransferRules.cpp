#include "transfer/TransferRules.h"

#include "fileops/NameTransforms.h"
#include "service/FileExtensions.h"

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
