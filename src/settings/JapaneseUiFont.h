#pragma once
#include <QFont>

// The Japanese proportional UI font at 9 points, for dialogs designed in a Japanese font.
QFont JapaneseUiFont();
