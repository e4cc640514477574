#include "MainFormFixture.h"

TEST_F(MainFormTest, MenuItemsFollowAndRunTheirActions)
{
    TMainForm& form = Open();
    auto* item = form.findChild<QAction*>("Upload0");
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->isEnabled());
    int runs = 0;
    form.SetActionHandler("aUpload", [&] { ++runs; });
    form.Action("aUpload")->setEnabled(true);
    EXPECT_TRUE(item->isEnabled());
    item->trigger();
    form.findChild<QAction*>("Upload")->trigger();
    EXPECT_EQ(runs, 2);
}
