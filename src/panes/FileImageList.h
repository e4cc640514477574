#pragma once
#include <QIcon>
#include <QStyle>

#include <vector>

// The five icons of the file lists, by icon index (folder, text, program, other, picture),
// from the desktop's icon theme with the style's standard icons where the theme has none.
std::vector<QIcon> FileImageList();

// An icon of the desktop's theme, or the style's standard icon where the theme has none.
QIcon ThemedIcon(const char* name, QStyle::StandardPixmap fallback);
