#include "settings/OptionDlg.h"
#include "settings/OptionRecord.h"

#include <gtest/gtest.h>

#include <QString>

#include <set>
#include <string>

namespace {

TEST(OptionRecord, NamesAreUniqueWithoutRegardToCase)
{
    // The settings file compares keys without case, so two names differing only in case
    // would read each other's values.
    std::set<QString> seen;
    for (const auto& key : OptionTable())
        EXPECT_TRUE(seen.insert(QString::fromLatin1(key.name).toLower()).second) << key.name;
}

// A key the dialog's record gives it but neither order holds would never be saved or shown.
TEST(OptionRecord, TheDialogsWriteAndReadOrdersHoldEachKeyTheRecordGivesItOnce)
{
    const auto keys = [](bool (*belongs)(const OptionKey&)) {
        std::multiset<std::string> names;
        for (const OptionKey& key : OptionTable())
            if (belongs(key))
                names.insert(key.name);
        return names;
    };
    const auto names = [](const std::vector<const char*>& order) {
        return std::multiset<std::string>(order.begin(), order.end());
    };
    EXPECT_EQ(names(TOptionDlg::WriteOptionsOrder()), keys(WrittenByOptionsDialog));
    EXPECT_EQ(names(TOptionDlg::ReadOptionsOrder()), keys(ReadByOptionsDialog));
}

}  // namespace
