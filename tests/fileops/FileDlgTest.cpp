#include "fileops/FileDlg.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

TEST(FileDlg, ShowsTheCallersTextsWithTheFocusInTheEditBoxAndOkAccepts)
{
    TFileDlg dialog(nullptr);
    dialog.Prepare(QStringLiteral("ファイル名の変更"), QStringLiteral("選択中のファイル： a.txt"),
                   QStringLiteral("新規ファイル名：　"), QStringLiteral("a.txt"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ファイル名の変更"));
    EXPECT_EQ(dialog.CurrentName()->text(), QStringLiteral("選択中のファイル： a.txt"));
    EXPECT_TRUE(dialog.OkBtn()->isDefault());
    dialog.show();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), dialog.NewEdit());
    EXPECT_EQ(dialog.NewEdit()->text(), QStringLiteral("a.txt"));
    dialog.OkBtn()->click();
    EXPECT_EQ(dialog.result(), int(QDialog::Accepted));
}
