#pragma once
#include <QString>

// Writes "ls -la" of directory, with its error messages, into outputPath, replacing the file,
// and waits for it.
void WriteDetailedListing(const QString& directory, const QString& outputPath);
