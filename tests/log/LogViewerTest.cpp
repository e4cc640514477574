#include "log/LogViewer.h"

#include "log/Editor.h"
#include "fixtures/TempDir.h"

#include <gtest/gtest.h>

// Starting a viewer on a file is exercised by the window's viewing commands.
TEST(LogViewer, WithoutAUsableViewerItSaysSoAndSavingThePaneIntoAMissingFolderFailsLoudly)
{
    TempDir dir;
    EXPECT_FALSE(StartViewer(QStringLiteral("/nonexistent/viewer"), QStringLiteral("/tmp/log.txt")));
    EXPECT_FALSE(StartViewer(QString(), QStringLiteral("/tmp/log.txt")));
    TEditor pane;
    EXPECT_THROW(SaveSessionLog(pane, QString::fromStdString(dir.File("missing"))), std::runtime_error);
}
