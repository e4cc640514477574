#include "settings/OptionRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

namespace {

TEST(OptionRecord, NamesAreUniqueWithoutRegardToCaseAndOnlyTheMisspeltHeightKeyExists)
{
    // The settings file compares keys without case, so two names differing only in case
    // would read each other's values.
    std::set<std::string> seen;
    for (const auto& key : OptionTable()) {
        std::string lower = key.name;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        EXPECT_TRUE(seen.insert(lower).second) << key.name;
    }
    EXPECT_NO_THROW(FindOption("ipanelruheitht"));
    EXPECT_THROW(FindOption("iPanelRUHeight"), std::out_of_range);
}

}  // namespace
