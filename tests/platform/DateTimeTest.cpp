#include "platform/DateTime.h"

#include <gtest/gtest.h>

namespace {

TEST(DateTime, EncodesDaysSinceTheEpoch)
{
    EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_DOUBLE_EQ(EncodeDate(1900, 1, 1), 2);
    EXPECT_DOUBLE_EQ(EncodeDate(2000, 1, 1), 36526);
    EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
}

TEST(DateTime, RefusesImpossibleValues)
{
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    EXPECT_NO_THROW(EncodeDate(2024, 2, 29));
    EXPECT_THROW(EncodeDate(2020, 4, 31), EConvertError);
    EXPECT_THROW(EncodeDate(2020, 0, 1), EConvertError);
    EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
}

TEST(DateTime, DecodeRoundTrips)
{
    for (int year : {1, 1899, 1900, 1999, 2000, 2024, 9999}) {
        const TDateTime value = EncodeDate(year, 2, 28) + EncodeTime(23, 59, 58, 999);
        const TDateParts parts = DecodeDateTime(value);
        EXPECT_EQ(parts.year, year);
        EXPECT_EQ(parts.month, 2);
        EXPECT_EQ(parts.day, 28);
        EXPECT_EQ(parts.hour, 23);
        EXPECT_EQ(parts.minute, 59);
        EXPECT_EQ(parts.second, 58);
        EXPECT_EQ(parts.millisecond, 999);
    }
}

TEST(DateTime, TimeTConversionsAgree)
{
    const std::time_t t = 1700000000;
    EXPECT_EQ(TimeTFromDateTime(DateTimeFromTimeT(t)), t);
    const TDateParts now = LocalNow();
    EXPECT_GE(now.year, 2024);
}

}  // namespace
