#include "settings/JapaneseUiFont.h"

QFont JapaneseUiFont()
{
    QFont font(QStringLiteral("Noto Sans CJK JP"), 9);
    // Where that family is missing, any sans-serif font with Japanese glyphs stands in.
    font.setStyleHint(QFont::SansSerif);
    return font;
}
