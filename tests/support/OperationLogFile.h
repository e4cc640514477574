#pragma once
#include "fixtures/TempDir.h"

#include <string>

// The text of the file operation log the program keeps in this folder; "" while there is none.
inline std::string OperationLogIn(const std::string& folder)
{
    const std::string path = folder + "/FileOperationLog.txt";
    return TempDir::Exists(path) ? TempDir::ReadFile(path) : "";
}
