#include "settings/OptionDlg.h"
#include "settings/OptionRecord.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

std::multiset<std::string> Names(const std::vector<const char*>& order)
{
    return {order.begin(), order.end()};
}

std::multiset<std::string> RecordKeys(bool (*belongs)(const OptionKey&))
{
    std::multiset<std::string> keys;
    for (const OptionKey& key : OptionTable())
        if (belongs(key))
            keys.insert(key.name);
    return keys;
}

TEST(OptionDlgKeys, WriteAndReadOrdersHoldEachKeyTheRecordGivesTheDialogOnce)
{
    EXPECT_EQ(Names(TOptionDlg::WriteOptionsOrder()), RecordKeys(WrittenByOptionsDialog));
    EXPECT_EQ(Names(TOptionDlg::ReadOptionsOrder()), RecordKeys(ReadByOptionsDialog));
}

}  // namespace
