#include "platform/ProgramDir.h"

#include "fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

// No other test of this suite reads the two variables, so they are set without putting them back.
TEST(ProgramDir, AWritableExecutableDirectoryThenTheConfigFolderWithItsLstFolder)
{
    TempDir dir;
    unsetenv("MARLUX_HOME");
    EXPECT_EQ(ResolveAppDir(dir.File("marlux")), dir.Path());
    setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
    EXPECT_EQ(ResolveAppDir("/nonexistent/bin/marlux"), dir.File("config") + "/Marlux");
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("config") + "/Marlux"));
    // An installed copy's folder stays untouched even for a user who may write it.
    TempDir::WriteFile(dir.File("installed"), "");
    EXPECT_EQ(ResolveAppDir(dir.File("marlux")), dir.File("config") + "/Marlux");
    // Failure to create the LST folder is silent; its creation is checked at the window's first start.
    TempDir::WriteFile(dir.File("file"), "");
    EXPECT_EQ(PrepareLstDir(dir.File("file")), dir.File("file") + "/LST");
}
