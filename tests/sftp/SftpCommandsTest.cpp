#include "sftp/SftpTestSession.h"

#include "ftp/EngineSessions.h"
#include "sftp/SftpException.h"
#include "sftp/SftpRights.h"
#include "sftp/SftpSiteCommand.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

unsigned ModeOf(const std::string& path)
{
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

using SftpCommands = SftpConnected;

}  // namespace

TEST_F(SftpCommands, FoldersAreMadeEnteredAndRemovedWithTheClientsCurrentFolderAndRenameNeverReplacesATarget)
{
    session.MakeDirectory("a");
    session.ChangeDirectory("a");
    EXPECT_EQ(session.CurrentDirectory(), server.Root() + "/a");
    session.MakeDirectory("b");
    // Canonicalised by the server: no "..", no "." and no doubled slashes stay.
    session.ChangeDirectory("b/..//./b");
    EXPECT_EQ(session.CurrentDirectory(), server.Root() + "/a/b");
    session.ChangeToParent();
    session.ChangeToParent();
    EXPECT_EQ(session.CurrentDirectory(), server.Root());
    session.ChangeDirectory(server.Root() + "/a/b");
    EXPECT_EQ(session.CurrentDirectory(), server.Root() + "/a/b");
    session.ChangeDirectory("/");
    EXPECT_EQ(session.CurrentDirectory(), "/");
    session.ChangeDirectory(server.Root());

    // A failed change keeps the folder.
    EXPECT_THROW(session.ChangeDirectory("missing"), ESftpStatusError);
    server.WriteFile("plain", "x");
    EXPECT_THROW(session.ChangeDirectory("plain"), ESftpStatusError);
    EXPECT_EQ(session.CurrentDirectory(), server.Root());

    EXPECT_THROW(session.RemoveDirectory("a"), ESftpStatusError);  // not empty
    session.RemoveDirectory("a/b");
    session.RemoveDirectory("a");
    EXPECT_FALSE(std::filesystem::exists(server.File("a")));
    session.DeleteFile("plain");
    EXPECT_FALSE(std::filesystem::exists(server.File("plain")));
    const auto gone = Caught<ESftpStatusError>([&] { session.DeleteFile("plain"); });
    EXPECT_TRUE(gone && gone->ReplyErrorCode() == 2);  // no such file

    // Rename never replaces an existing target.
    server.WriteFile("old", "old bytes");
    server.WriteFile("kept", "kept bytes");
    server.MakeDirectory("folder");
    EXPECT_THROW(session.RenameFile("old", "kept"), EIdFTPFileAlreadyExists);
    EXPECT_THROW(session.RenameFile("old", "folder"), EIdFTPFileAlreadyExists);
    EXPECT_EQ(TempDir::ReadFile(server.File("kept")), "kept bytes");
    EXPECT_EQ(TempDir::ReadFile(server.File("old")), "old bytes");
    session.RenameFile("old", "folder/new");
    EXPECT_EQ(TempDir::ReadFile(server.File("folder/new")), "old bytes");
    EXPECT_THROW(session.RenameFile("missing", "other"), ESftpStatusError);

    // A name cut short at a NUL byte would name another file.
    EXPECT_THROW(session.DeleteFile(std::string("folder/new\0x", 12)), EIdException);
    EXPECT_TRUE(std::filesystem::exists(server.File("folder/new")));
    // Server refusals leave the session usable.
    EXPECT_TRUE(session.Connected());
}

TEST_F(SftpCommands, ListedEntriesCarryKindSizeExactTimeRightsOwnerAndLinkTargetAndSizesTimesAndModesReadAndSet)
{
    server.WriteFile("file.txt", "12345");
    server.MakeDirectory("dir");
    server.WriteFile("名前.txt", "");
    ASSERT_EQ(symlink("file.txt", server.File("link").c_str()), 0);
    chmod(server.File("file.txt").c_str(), 04751);
    session.SetModificationTime("file.txt", 1600000000);

    session.ListDirectory("");
    const TIdFTPListItems& items = session.ParsedListing();
    EXPECT_EQ(items.Count(), 4u);  // no "." or ".."
    const TIdFTPListItem* file = FindItem(items, "file.txt");
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->Kind == ikFile && file->Size == 5 && file->Precision == tpSecond && file->ModifiedUtc);
    EXPECT_EQ(UnixTimeOfUtc(file->Modified), 1600000000);
    EXPECT_EQ(Rights(*file), "rwsr-x--x");
    EXPECT_EQ(file->Owner(), std::to_string(getpwnam(SshServer::TestUser)->pw_uid));
    EXPECT_EQ(FindItem(items, "dir")->Kind, ikDirectory);
    const TIdFTPListItem* link = FindItem(items, "link");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->Kind, ikSymLink);
    EXPECT_EQ(link->LinkTarget(), "file.txt");
    EXPECT_NE(FindItem(items, "名前.txt"), nullptr);
    EXPECT_EQ(session.NameCodec.Current(), TNameEncoding::Utf8);

    session.ListDirectory("*.TXT");
    EXPECT_EQ(session.ParsedListing().Count(), 2u);

    server.WriteFile("f", std::string(12345, 'x'));
    EXPECT_EQ(session.FileSize("f"), 12345);
    EXPECT_EQ(session.FileSize("missing"), -1);

    ASSERT_TRUE(session.SetModificationTime("f", 1700000000));
    EXPECT_EQ(session.ModificationTime("f"), std::optional<std::int64_t>(1700000000));
    EXPECT_FALSE(session.SetModificationTime("f", -5));
    EXPECT_THROW(session.ModificationTime("missing"), ESftpStatusError);

    session.Chmod("f", 0640);
    EXPECT_EQ(ModeOf(server.File("f")), 0640u);
    session.SiteCommand("chmod 604 f");
    EXPECT_EQ(ModeOf(server.File("f")), 0604u);
    server.WriteFile("with blank", "");
    session.SiteCommand("CHMOD 600 with blank");
    EXPECT_EQ(ModeOf(server.File("with blank")), 0600u);
    EXPECT_THROW(session.Chmod("missing", 0644), ESftpStatusError);
}

// That any other SITE command is refused, naming SFTP, shows in the tool's SFTP test.
TEST(SftpSiteChmod, TakesAnOctalModeAndTheRestAsName)
{
    const TSftpChmod chmod = ParseSiteChmod("Chmod  0755  a  b");
    EXPECT_EQ(chmod.mode, 0755u);
    EXPECT_EQ(chmod.name, "a  b");
    for (const char* bad : {"CHMOD", "CHMOD 644", "CHMOD 644 ", "CHMOD 8 x", "CHMOD 77777 x", "CHMODX 644 x", "HELP"})
        EXPECT_THROW(ParseSiteChmod(bad), EIdException) << bad;
}

TEST(SftpRightsText, ShowsTypeBitsAndSpecialBits)
{
    EXPECT_EQ(RightsText('d', 0755), "drwxr-xr-x");
    EXPECT_EQ(RightsText('-', 0644), "-rw-r--r--");
    EXPECT_EQ(RightsText('-', 06755), "-rwsr-sr-x");
    EXPECT_EQ(RightsText('-', 06644), "-rwSr-Sr--");
    EXPECT_EQ(RightsText('d', 01777), "drwxrwxrwt");
    EXPECT_EQ(RightsText('d', 01776), "drwxrwxrwT");
}
