#pragma once
#include <QString>

// The help page ships inside the program and is written next to the settings on demand, so a
// browser can open it. Returns the written path; throws std::runtime_error when it cannot.
QString WriteHelpPage(const QString& appDir);
