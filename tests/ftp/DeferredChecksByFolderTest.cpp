// Deferred size checks of uploads named by paths into several folders, as a connection that
// never changes folder sends them: one listing per folder instead of a SIZE per file.
#include "EngineSessions.h"
#include "fixtures/RandomBytes.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(DeferredChecksByFolder, ListEachFolderOnceSetTheDamagedUploadApartAndSizeThoseOfAFolderGone) {
    ServerSession s;
    std::filesystem::create_directories(s.server.File("one"));
    std::filesystem::create_directories(s.server.File("two/deep"));
    const std::vector<std::string> paths = {"/one/a.bin", "two/deep/b.bin", "/one/c.bin", "top.bin", "two/deep/d.bin"};
    for (std::size_t i = 0; i < paths.size(); ++i)
        TempDir::WriteFile(s.local.File("f" + std::to_string(i)), RandomBytes(3000 + i, int(i)));
    s.ftp.DeferSizeChecks();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        s.ftp.Put(s.local.File("f" + std::to_string(i)), paths[i]);
        EXPECT_EQ(s.ftp.LastVerification.Kind, vkNotVerified);
    }
    EXPECT_FALSE(s.sent.Sent("SIZE"));
    // Cut short on the server after it arrived: only the listing can tell.
    TempDir::WriteFile(s.server.File("two/deep/d.bin"), "short");

    const std::vector<EIdVerificationFailed> failures = s.ftp.SettleSizeChecks();
    ASSERT_EQ(failures.size(), 1u);
    const EIdVerificationFailed& f = failures[0];
    EXPECT_EQ((std::vector<std::string>{f.FileName(), f.Verification().Algorithm, f.Verification().Expected,
                                        f.Verification().Actual, f.PartName()}),
              (std::vector<std::string>{"two/deep/d.bin", "size", "3004", "5", "two/deep/d.bin.part"}));
    EXPECT_TRUE(TempDir::Exists(s.server.File("two/deep/d.bin.part")));
    EXPECT_FALSE(TempDir::Exists(s.server.File("two/deep/d.bin")));
    // "/one", "two/deep" and the current folder; only the ".part" name is asked by SIZE.
    EXPECT_EQ(s.sent.Count("MLSD"), 3u);
    EXPECT_EQ(s.sent.Count("SIZE"), 1u);
    EXPECT_EQ(s.sent.Count("MLSD /one"), 1u);

    // The deferral has ended: the next upload is checked at once.
    s.ftp.Put(s.local.File("f0"), "again.bin");
    EXPECT_EQ(s.ftp.LastVerification.Kind, vkSizeMatched);
    EXPECT_TRUE(s.ftp.SettleSizeChecks().empty());

    // A folder the server will not list (gone since the upload) costs its files a SIZE each; the
    // other folders are still checked by their listings.
    std::filesystem::create_directories(s.server.File("gone"));
    s.sent.lines.clear();
    s.ftp.DeferSizeChecks();
    s.ftp.Put(s.local.File("f0"), "/gone/x.bin");
    s.ftp.Put(s.local.File("f0"), "/one/x.bin");
    std::filesystem::remove_all(s.server.File("gone"));
    EXPECT_TRUE(s.ftp.SettleSizeChecks().empty());
    EXPECT_EQ(s.sent.Count("MLSD"), 2u);
    EXPECT_EQ(s.sent.Count("SIZE /gone/x.bin"), 1u);
    EXPECT_EQ(s.ftp.LastVerification.Kind, vkSizeMatched);
    EXPECT_TRUE(s.ftp.Connected());
}
