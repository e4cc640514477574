#pragma once
#include <QIcon>

// The picture of a toolbar image index: the desktop icon theme's icon when it can be drawn,
// else Qt's built-in standard icon, so no button is ever blank.
QIcon ActionIcon(int imageIndex);
