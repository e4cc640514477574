#include "log/LogColor.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

TEST(LogColor, StoredValueHoldsRedInTheLowestByte)
{
    EXPECT_EQ(ColorFromValue(0x123456), QColor(0x56, 0x34, 0x12));
    // Negative values name system colours, known or not.
    EXPECT_EQ(ColorFromValue(LogColor::WindowText), QApplication::palette().color(QPalette::Active, QPalette::WindowText));
    EXPECT_TRUE(ColorFromValue(-2147483648).isValid());
}
