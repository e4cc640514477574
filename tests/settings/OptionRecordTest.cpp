#include "settings/OptionRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

namespace {

// The keys SaveSettings writes, in its order.
const std::vector<std::string> SaveSettingsKeys = {
    "iMainFormLeft", "iMainFormTop", "iMainFormHeight", "iMainFormWidth", "iLocalSysGroupBoxWidth",
    "iPanelLMHeight", "iPanelRUHeitht", "iLocalSysToolBarAlign", "iRemoteSysToolBarAlign",
    "iHeaderToolBarAlign", "bReport", "bList", "bSmallIcon", "bASCII", "bBinary", "bAuto",
    "LocalMask", "RemoteMask", "asApplication", "asInitialDirectory", "ieeLog", "iCommentColor",
    "iIntColor", "iReserveColor"};

TEST(OptionRecord, NamesAreUniqueWithoutRegardToCase)
{
    std::set<std::string> seen;
    for (const auto& key : OptionTable()) {
        std::string lower = key.name;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        EXPECT_TRUE(seen.insert(lower).second) << key.name;
    }
    EXPECT_EQ(OptionTable().size(), 42u);
}

TEST(OptionRecord, ExactlyTheSaveSettingsKeysAreWrittenByIt)
{
    std::set<std::string> written;
    for (const auto& key : OptionTable())
        if (WrittenBySaveSettings(key))
            written.insert(key.name);
    EXPECT_EQ(written, std::set<std::string>(SaveSettingsKeys.begin(), SaveSettingsKeys.end()));
}

TEST(OptionRecord, MisspeltHeightKeyIsTheOnlySpelling)
{
    EXPECT_EQ(FindOption("ipanelruheitht").intDefault, 107);
    EXPECT_THROW(FindOption("iPanelRUHeight"), std::out_of_range);
}

TEST(OptionRecord, DefaultsTypesAndPairs)
{
    EXPECT_EQ(FindOption("iMaxLog").type, OptionType::Integer);
    EXPECT_TRUE(FindOption("iMaxLog").defaultIsCurrent);
    EXPECT_TRUE(ReadByLoadSettings(FindOption("iMaxLog")));
    EXPECT_FALSE(WrittenBySaveSettings(FindOption("iMaxLog")));
    EXPECT_EQ(FindOption("iOnLocalDblClick").intDefault, 2);
    EXPECT_EQ(FindOption("iCommentColor").type, OptionType::Colour);
    EXPECT_EQ(FindOption("iCommentColor").intDefault, 32768);
    EXPECT_EQ(FindOption("iCommentColor").dialogIntDefault, -2147483646);
    EXPECT_TRUE(WrittenByOptionsDialog(FindOption("iCommentColor")));
    EXPECT_FALSE(ReadByLoadSettings(FindOption("bConnectDlgOnStart")));
    EXPECT_TRUE(ReadByOptionsDialog(FindOption("iHeaderToolBarAlign")));
    EXPECT_FALSE(WrittenByOptionsDialog(FindOption("iHeaderToolBarAlign")));
    EXPECT_FALSE(ReadByOptionsDialog(FindOption("bReport")));
    EXPECT_STREQ(FindOption("LocalMask").textDefault, "*.*");
    EXPECT_STREQ(FindOption("asApplication").textDefault, "xdg-open");
}

}  // namespace
