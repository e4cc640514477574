#include "log/LogColor.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

TEST(LogColor, StoredValueHoldsRedInTheLowestByte)
{
    EXPECT_EQ(ColorFromValue(255), QColor(255, 0, 0));
    EXPECT_EQ(ColorFromValue(32768), QColor(0, 128, 0));
    EXPECT_EQ(ColorFromValue(128), QColor(128, 0, 0));
    EXPECT_EQ(ColorFromValue(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(ColorFromValue(0x123456), QColor(0x56, 0x34, 0x12));
}

TEST(LogColor, NegativeValuesAreSystemColours)
{
    const QPalette palette = QApplication::palette();
    EXPECT_EQ(ColorFromValue(LogColor::WindowText), palette.color(QPalette::Active, QPalette::WindowText));
    EXPECT_EQ(ColorFromValue(LogColor::ActiveCaption), palette.color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(ColorFromValue(LogColor::ButtonFace), palette.color(QPalette::Active, QPalette::Button));
    EXPECT_TRUE(ColorFromValue(-2147483648).isValid());
}
