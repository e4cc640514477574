#pragma once
#include "platform/ListFile.h"

#include <QString>

// The lower-cased text from the last "." after the last "\" or ":"; empty without one.
QString FileExtension(const QString& name);

// Whether an extension list holds an extension (with its dot), ignoring letter case. An empty
// extension is never listed.
bool ExtensionListed(const StringList& list, const QString& extension);
