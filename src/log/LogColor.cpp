#include "log/LogColor.h"

#include <QApplication>
#include <QPalette>

namespace {

QPalette::ColorRole SystemColorRole(int index)
{
    switch (index) {
    case 1: // desktop
    case 4: // menu
    case 15: // button face
        return QPalette::Button;
    case 2: // active caption
    case 13: // highlight
        return QPalette::Highlight;
    case 5: // window
        return QPalette::Base;
    case 9: // caption text
    case 14: // highlight text
        return QPalette::HighlightedText;
    case 16: // button shadow
        return QPalette::Mid;
    case 18: // button text
        return QPalette::ButtonText;
    case 20: // button highlight
        return QPalette::Light;
    case 21: // dark shadow
        return QPalette::Shadow;
    case 22: // 3D light
        return QPalette::Midlight;
    case 23: // info text
        return QPalette::ToolTipText;
    case 24: // info background
        return QPalette::ToolTipBase;
    default: // 7 menu text, 8 window text and everything unknown
        return QPalette::WindowText;
    }
}

}

QColor ColorFromValue(int value)
{
    if (value < 0)
        return QApplication::palette().color(QPalette::Active, SystemColorRole(value & 0xFF));
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}
