#pragma once
#include <QString>

// The manual is a folder of HTML pages, "manual/" in the program's folder (in the build tree a
// link to the sources, in an install a link to the shared data). Gives the contents page's
// path with links resolved, so the browser shows where the pages really are; empty when the
// manual is missing.
QString ManualContentsPage(const QString& programDir);
