#include "ftp/IdPasswordMask.h"

#include <gtest/gtest.h>

TEST(PasswordMask, OnlyTheArgumentOfPassLinesIsHidden) {
    EXPECT_EQ(MaskSentData("PASS secret\r\n"), "PASS ****\r\n");
    EXPECT_EQ(MaskSentData("PASS\r\n"), "PASS ****\r\n");
    EXPECT_EQ(MaskSentData("  pass a b c"), "  pass ****");
    EXPECT_EQ(MaskSentData("USER x\r\nPASS y\r\nSYST\r\n"), "USER x\r\nPASS ****\r\nSYST\r\n");
    EXPECT_EQ(MaskSentData("PASSWORD x\r\n"), "PASSWORD x\r\n");
    EXPECT_EQ(MaskSentData("PASV\r\n"), "PASV\r\n");
    EXPECT_EQ(MaskSentData(""), "");
}
