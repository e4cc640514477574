#include "platform/ProgramDir.h"

#include "fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(ProgramDir, AWritableExecutableDirectoryThenTheConfigFolderWithItsLstFolder)
{
    TempDir dir;
    ScopedEnv home("MARLUX_HOME", nullptr);
    EXPECT_EQ(ResolveAppDir(dir.File("marlux")), dir.Path());
    ScopedEnv config("XDG_CONFIG_HOME", dir.File("config").c_str());
    EXPECT_EQ(ResolveAppDir("/nonexistent/bin/marlux"), dir.File("config") + "/Marlux");
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("config") + "/Marlux"));
    // Failure to create the LST folder is silent; its creation is checked at the window's first start.
    TempDir::WriteFile(dir.File("file"), "");
    EXPECT_EQ(PrepareLstDir(dir.File("file")), dir.File("file") + "/LST");
}

}  // namespace
