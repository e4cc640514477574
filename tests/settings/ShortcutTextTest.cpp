#include "settings/ShortcutText.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

QKeySequence Key(Qt::KeyboardModifiers modifiers, Qt::Key key)
{
    return QKeySequence(QKeyCombination(modifiers, key));
}

// Every named key of the file format, and the ends of the letter, digit and function-key ranges.
TEST(ShortcutText, EveryKeyNameRoundTripsWithEveryModifierSet)
{
    const QStringList names = {"BkSp", "Tab", "Esc", "Enter", "Space", "PgUp", "PgDn", "End", "Home", "Left", "Up",
                               "Right", "Down", "Ins", "Del", "Print", "Pause", "/", ";", "A", "Z", "0", "9", "F1", "F24"};
    const QStringList prefixes = {"", "Shift+", "Ctrl+", "Alt+", "Shift+Ctrl+", "Shift+Alt+", "Ctrl+Alt+",
                                  "Shift+Ctrl+Alt+"};
    for (const QString& name : names)
        for (const QString& prefix : prefixes) {
            const QString text = prefix + name;
            const QKeySequence key = TextToShortCut(text);
            ASSERT_FALSE(key.isEmpty()) << text.toStdString();
            EXPECT_EQ(ShortCutToText(key), text);
        }
    // Other modifier orders and case read; keypad keys are written like the main keys.
    EXPECT_EQ(TextToShortCut("ctrl+shift+u"), Key(Qt::ShiftModifier | Qt::ControlModifier, Qt::Key_U));
    EXPECT_EQ(ShortCutToText(Key(Qt::KeypadModifier | Qt::ControlModifier, Qt::Key_5)), "Ctrl+5");
}

TEST(ShortcutText, InvalidTextIsNoShortcut)
{
    for (const char* text : {"", "Shft+U", "Ctrl+", "Ctrl+Ctrl+U", "F0", "F25", "F01", "Ctrl+UU", "Return",
                             "Backspace", "PageUp", "Ctrl+U,Ctrl+D", "Meta+U", " U", "Shift+Ctrl+Alt+"})
        EXPECT_TRUE(TextToShortCut(text).isEmpty()) << text;
}

}  // namespace
