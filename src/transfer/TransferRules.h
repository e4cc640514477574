#pragma once
#include "platform/ListFile.h"
#include "settings/WindowSettings.h"

#include <QString>

// Binary (true) or ASCII (false) for a file of that name: ASCII and Binary apply to every
// file; Auto sends a file as ASCII when its last extension is a text extension.
bool IsBinaryTransfer(TTransferChoice mode, const StringList& textExtensions, const QString& name);

// The name a file gets on the receiving side: 1 upper case, 2 lower case (the locale's
// mapping of the whole name), anything else unchanged.
QString TransformName(int nameTransform, const QString& name);
