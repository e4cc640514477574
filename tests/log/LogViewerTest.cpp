#include "log/LogViewer.h"

#include "log/Editor.h"
#include "fixtures/TempDir.h"

#include <gtest/gtest.h>

// Saving the pane and starting a viewer that exists or not are exercised by the window's log
// commands; a failed save must not leave an older log file to be shown.
TEST(LogViewer, SavingThePaneIntoAMissingFolderFailsLoudly)
{
    TempDir dir;
    TEditor pane;
    EXPECT_THROW(SaveSessionLog(pane, QString::fromStdString(dir.File("missing"))), std::runtime_error);
}
