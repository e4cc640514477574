#pragma once
#include <QColor>

// Colours as the settings file stores them: red in the lowest byte, then green and blue; a
// negative value names a system colour by its index in the lowest byte (0x80000000 | index).
namespace LogColor {
inline constexpr int WindowText = -2147483640;    // system colour 8
inline constexpr int ActiveCaption = -2147483646; // system colour 2
inline constexpr int ButtonFace = -2147483633;    // system colour 15

inline constexpr int DesignedComment = 32768; // dark green
inline constexpr int DesignedInt = 128;       // dark red
inline constexpr int DesignedReserve = 255;   // red
}

// The colour a stored value stands for; system colours come from the application palette.
QColor ColorFromValue(int value);
