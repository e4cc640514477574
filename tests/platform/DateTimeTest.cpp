#include "platform/DateTime.h"

#include <gtest/gtest.h>
#include <vector>

TEST(DateTime, EncodesDaysSinceTheEpochRefusesImpossibleValuesAndRoundTrips)
{
    EXPECT_DOUBLE_EQ(EncodeDate(2000, 1, 1) + EncodeTime(12, 0, 0, 0), 36526.5);
    EXPECT_THROW(EncodeDate(2020, 0, 1), EConvertError);
    EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
    // Days before 1899-12-30 are negative numbers; their time part still counts forward.
    for (int year : {1, 1899, 2000, 9999}) {
        const TDateParts parts = DecodeDateTime(EncodeDate(year, 2, 28) + EncodeTime(23, 59, 58, 999));
        EXPECT_EQ(std::vector<int>({parts.year, parts.month, parts.day, parts.hour, parts.minute, parts.second,
                                    parts.millisecond}),
                  std::vector<int>({year, 2, 28, 23, 59, 58, 999}));
    }
    EXPECT_EQ(TimeTFromDateTime(DateTimeFromTimeT(1700000000)), 1700000000);
}
