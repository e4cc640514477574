#include "settings/KeyList.h"

#include "fixtures/TempDir.h"
#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Entries = std::vector<std::pair<QString, QString>>;

// A file that cannot be read is never replaced by one holding only the new entry.
TEST(KeyList, EntriesOfSectionKeyOnlyInFileOrderWhateverElseItHoldsAndAnUnreadableFileIsNeitherListedNorReplaced)
{
    TempDir dir;
    const std::string path = dir.File("KeyList.ini");
    TKeyList keys{QString::fromStdString(path)};
    TempDir::WriteFile(path, "garbage line\n[Other]\nUpload=Ctrl+X\n[key]\n; comment\nDownload = F5 \nno equals\n"
                             "=nameless\nUpload=Shift+Ctrl+U\n");
    EXPECT_EQ(keys.Entries(), (Entries{{"Download", "F5"}, {"Upload", "Shift+Ctrl+U"}}));
    // Removing an entry keeps the others and the rest of the file.
    keys.Remove("upload");
    keys.Remove("NotThere");
    EXPECT_EQ(keys.Entries(), (Entries{{"Download", "F5"}}));
    EXPECT_EQ(TempDir::ReadFile(path).rfind("garbage line\n[Other]\nUpload=Ctrl+X\n", 0), 0u);

    if (geteuid() != 0) {
        TempDir::WriteFile(path, "[Key]\nDownload=Ctrl+2\n");
        ASSERT_EQ(chmod(path.c_str(), 0200), 0);
        EXPECT_THROW(keys.Write("Upload", "Ctrl+1"), EIniWriteError);
        ASSERT_EQ(chmod(path.c_str(), 0600), 0);
        EXPECT_EQ(TempDir::ReadFile(path), "[Key]\nDownload=Ctrl+2\n");
    }
    unlink(path.c_str());
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);  // a directory in the file's place
    EXPECT_TRUE(keys.Entries().empty());
    EXPECT_THROW(keys.Write("Upload", "Ctrl+1"), EIniWriteError);
}

}  // namespace
