// Transfers checked once complete, against ProFTPD (HASH, RANG, the X digest commands) and
// pyftpdlib (no digest: SIZE, or the folders' listings when the checks are deferred).
#include "EngineSessions.h"
#include "fixtures/ProftpdServer.h"
#include "fixtures/RandomBytes.h"
#include "ftp/IdException.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>

namespace {

// Logged in to a fresh ProFTPD offering these digests (all it has when empty).
struct DigestSession : SessionOn<ProftpdServer> {
    explicit DigestSession(const std::string& algorithms = {}) : SessionOn(true, algorithms) {}
};

// Flips one byte of a file, keeping its size: damage that only a digest sees.
void FlipByte(const std::string& path, std::size_t at) {
    std::string bytes = TempDir::ReadFile(path);
    bytes[at] = static_cast<char>(~bytes[at]);
    TempDir::WriteFile(path, bytes);
}

void ExpectVerified(const TIdFTP& ftp, const char* algorithm) {
    EXPECT_EQ(ftp.LastVerification.Kind, vkVerified) << ftp.LastVerification.Reason;
    EXPECT_EQ(ftp.LastVerification.Algorithm, algorithm);
    EXPECT_EQ(ftp.LastVerification.Expected, ftp.LastVerification.Actual);
}

}  // namespace

// The strongest digest offered checks every transfer, an empty file's too, by HASH: SHA-256 is
// chosen over the SHA-1 ProFTPD selects by default, once per connection; a server offering only
// weaker ones has the strongest of them selected already (no OPTS HASH), CRC32 the last resort.
// A resumed download goes to the X command, whose range ProFTPD honours.
TEST(VerifiedTransfer, TheStrongestOfferedAlgorithmIsUsed) {
    const std::string bytes = RandomBytes(200000, 7);
    for (const auto& [offered, algorithm, xCommand] : {std::tuple{"", "SHA-256", "XSHA256"},
                                                       std::tuple{"md5 crc32", "MD5", "XMD5"},
                                                       std::tuple{"crc32", "CRC32", "XCRC"}}) {
        SCOPED_TRACE(offered);
        DigestSession s(offered);
        for (const std::string& content : {std::string(), bytes}) {
            TempDir::WriteFile(s.local.File("a.bin"), content);
            s.ftp.Put(s.local.File("a.bin"), "a.bin");
            EXPECT_EQ(TempDir::ReadFile(s.server.File("a.bin")), content);
            ExpectVerified(s.ftp, algorithm);
            s.ftp.Get("a.bin", s.local.File("b.bin"), true);
            EXPECT_EQ(TempDir::ReadFile(s.local.File("b.bin")), content);
            ExpectVerified(s.ftp, algorithm);
        }
        EXPECT_EQ(s.sent.Count("HASH a.bin"), 4u);
        EXPECT_EQ(s.sent.Count("OPTS HASH"), *offered ? 0u : 1u);
        TempDir::WriteFile(s.local.File("b.bin"), bytes.substr(0, 5000));
        s.ftp.Get("a.bin", s.local.File("b.bin"), false, true);
        EXPECT_EQ(TempDir::ReadFile(s.local.File("b.bin")), bytes);
        ExpectVerified(s.ftp, algorithm);
        EXPECT_TRUE(s.sent.Sent(std::string(xCommand) + " a.bin 5000 200000"));
        EXPECT_EQ(s.sent.Count("X"), 1u);
    }
}

// A resumed download and an append are verified over the bytes moved only: ProFTPD's HASH
// ignores RANG and answers for the whole file, which is noticed from its reply's range, so the
// X command with start and end is asked instead.
TEST(VerifiedTransfer, ResumedAndAppendedAreVerifiedOverTheirRangeAndAsciiOrVerificationOffAskNothing) {
    DigestSession s;
    const std::string bytes = RandomBytes(1 << 20, 3);
    TempDir::WriteFile(s.server.File("whole.bin"), bytes);
    TempDir::WriteFile(s.local.File("whole.bin"), bytes.substr(0, 300001));
    s.ftp.Get("whole.bin", s.local.File("whole.bin"), false, true);
    EXPECT_EQ(TempDir::ReadFile(s.local.File("whole.bin")), bytes);
    ExpectVerified(s.ftp, "SHA-256");
    EXPECT_TRUE(s.sent.Sent("REST 300001"));
    EXPECT_TRUE(s.sent.Sent("RANG 300001 1048575"));
    EXPECT_TRUE(s.sent.Sent("XSHA256 whole.bin 300001 1048576"));
    // A range left set would cut the next transfer short.
    EXPECT_TRUE(s.sent.Sent("RANG 1 0"));

    TempDir::WriteFile(s.server.File("log.txt"), "first part\n");
    TempDir::WriteFile(s.local.File("more.txt"), bytes);
    s.ftp.Put(s.local.File("more.txt"), "log.txt", true);
    EXPECT_EQ(TempDir::ReadFile(s.server.File("log.txt")), "first part\n" + bytes);
    ExpectVerified(s.ftp, "SHA-256");
    EXPECT_TRUE(s.sent.Sent("XSHA256 log.txt 11 1048587"));

    // Appending to a file the server does not have yet starts it.
    s.ftp.Put(s.local.File("more.txt"), "new.txt", true);
    EXPECT_EQ(TempDir::ReadFile(s.server.File("new.txt")), bytes);
    ExpectVerified(s.ftp, "SHA-256");

    // Type A changes the bytes, and verification can be turned off: either way no digest and no
    // size is asked for, and the outcome says why.
    s.sent.lines.clear();
    TempDir::WriteFile(s.server.File("t.txt"), "a\r\nb\r\n");
    s.ftp.SetTransferType(ftASCII);
    s.ftp.Get("t.txt", s.local.File("t.txt"), true);
    EXPECT_EQ(s.ftp.LastVerification.Kind, vkNotVerified);
    EXPECT_EQ(s.ftp.LastVerification.Reason, "ASCII mode");

    s.ftp.SetTransferType(ftBinary);
    s.ftp.VerifyTransfers = false;
    s.ftp.Get("t.txt", s.local.File("b.txt"), true);
    s.ftp.Put(s.local.File("b.txt"), "c.txt");
    EXPECT_EQ(s.ftp.LastVerification.Reason, "verification is off");
    for (const char* command : {"HASH", "OPTS HASH", "XSHA", "XMD5", "XCRC", "RANG", "SIZE"})
        EXPECT_FALSE(s.sent.Sent(command)) << command;
}

// A file that differs after the transfer fails it: the receiving side's copy is renamed to
// "<name>.part", the status says so, and the exception carries both digests.
TEST(VerifiedTransfer, AMismatchRenamesTheFileToPartAndRaises) {
    DigestSession s;
    const std::string bytes = RandomBytes(100000, 5);
    TempDir::WriteFile(s.server.File("d.bin"), bytes);
    s.sent.Before("HASH d.bin", [&] { FlipByte(s.server.File("d.bin"), 500); });
    const auto e = Caught<EIdVerificationFailed>([&] { s.ftp.Get("d.bin", s.local.File("d.bin"), true); });
    ASSERT_TRUE(e) << "no mismatch";
    EXPECT_EQ(std::pair(e->Verification().Kind, e->Verification().Algorithm), std::pair(vkMismatch, std::string("SHA-256")));
    EXPECT_NE(e->Verification().Expected, e->Verification().Actual);
    EXPECT_EQ(e->PartName(), s.local.File("d.bin.part"));
    EXPECT_NE(std::string(e->what()).find("Verification failed for \"d.bin\""), std::string::npos) << e->what();
    EXPECT_FALSE(TempDir::Exists(s.local.File("d.bin")));
    EXPECT_EQ(TempDir::ReadFile(s.local.File("d.bin.part")), bytes);
    EXPECT_EQ(s.ftp.LastVerification.Kind, vkMismatch);
    ASSERT_FALSE(s.events.events.empty());
    EXPECT_NE(s.events.events.back().find("renamed to"), std::string::npos) << s.events.events.back();

    TempDir::WriteFile(s.local.File("u.bin"), bytes);
    s.sent.Before("HASH u.bin", [&] { FlipByte(s.server.File("u.bin"), 0); });
    EXPECT_THROW(s.ftp.Put(s.local.File("u.bin"), "u.bin"), EIdVerificationFailed);
    EXPECT_FALSE(TempDir::Exists(s.server.File("u.bin")));
    EXPECT_TRUE(TempDir::Exists(s.server.File("u.bin.part")));
    EXPECT_EQ(TempDir::ReadFile(s.local.File("u.bin")), bytes);

    // A ".part" already there is never replaced: the damaged file keeps its name instead.
    TempDir::WriteFile(s.local.File("d.bin"), "mine");
    s.sent.Before("HASH d.bin", [&] { FlipByte(s.server.File("d.bin"), 501); });
    const auto kept = Caught<EIdVerificationFailed>([&] { s.ftp.Get("d.bin", s.local.File("d.bin"), true); });
    EXPECT_TRUE(kept && kept->PartName() == "") << "no mismatch";
    EXPECT_EQ(TempDir::ReadFile(s.local.File("d.bin.part")), bytes);
    // The session goes on.
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
}

// Without digests the size is compared. A download whose bytes add up to the size its listing
// gave asks no SIZE afterwards; one that differs, from a file changed since it was listed, is
// asked and matches; a server file that grew after the download (the Pure-FTPd tests have the
// sizes that match) no longer matches what arrived. Then the same checks deferred.
TEST(VerifiedTransfer, WithoutDigestsTheSizeIsComparedAtOnceOrDeferredByFolderAndADifferentOneFails) {
    ServerSession s;
    const std::string bytes = RandomBytes(70000, 4);
    TempDir::WriteFile(s.server.File("a.bin"), bytes);
    s.ftp.Get("a.bin", s.local.File("a.bin"), true, false, 70000);
    EXPECT_EQ(TempDir::ReadFile(s.local.File("a.bin")), bytes);
    EXPECT_EQ(s.ftp.LastVerification.Kind, vkSizeMatched);
    EXPECT_FALSE(s.sent.Sent("SIZE"));

    TempDir::WriteFile(s.server.File("a.bin"), bytes + "more");
    s.ftp.Get("a.bin", s.local.File("b.bin"), true, false, 70000);
    EXPECT_EQ(s.ftp.LastVerification.Kind, vkSizeMatched);
    EXPECT_EQ(s.ftp.LastVerification.Actual, "70004");
    EXPECT_EQ(s.sent.Count("SIZE"), 1u);

    s.sent.Before("SIZE", [&] { TempDir::WriteFile(s.server.File("a.bin"), bytes + "more!"); });
    EXPECT_THROW(s.ftp.Get("a.bin", s.local.File("c.bin"), true), EIdVerificationFailed);
    EXPECT_EQ(s.ftp.LastVerification.Algorithm, "size");
    EXPECT_EQ(TempDir::ReadFile(s.local.File("c.bin.part")), bytes + "more");

    // Deferred checks of uploads named by paths into several folders, as a connection that never
    // changes folder sends them: one listing per folder instead of a SIZE per file.
    s.sent.lines.clear();
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
