#include "MainFormFixture.h"

TEST_F(MainFormTest, MenuItemsFollowAndRunTheirActions)
{
    TMainForm& form = Open();
    auto* item = form.findChild<QAction*>("Upload0");
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->isEnabled());
    EXPECT_EQ(item->text(), form.Action("aUpload")->text());
    int runs = 0;
    form.SetActionHandler("aUpload", [&] { ++runs; });
    form.Action("aUpload")->setEnabled(true);
    EXPECT_TRUE(item->isEnabled());
    item->trigger();
    form.findChild<QAction*>("Upload")->trigger();
    EXPECT_EQ(runs, 2);
    // The hint drops the access-key suffix of the caption.
    EXPECT_EQ(form.Action("aOption")->toolTip(), "オプション...");
}

TEST_F(MainFormTest, EveryActionWithAnImageHasADrawableIcon)
{
    const TMainForm& form = Open();
    for (const QAction* action : form.ActionList1()) {
        if (action->property("imageIndex").toInt() < 0)
            continue;
        const QImage image = action->icon().pixmap(QSize(16, 16)).toImage();
        ASSERT_FALSE(image.isNull()) << action->objectName().toStdString();
        bool painted = false;
        for (int y = 0; y < image.height() && !painted; ++y)
            for (int x = 0; x < image.width() && !painted; ++x)
                painted = qAlpha(image.pixel(x, y)) > 0;
        EXPECT_TRUE(painted) << action->objectName().toStdString() << " has a blank icon";
    }
}
