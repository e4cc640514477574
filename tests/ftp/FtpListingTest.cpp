// Listings through the engine: a real server's listing with masks and a line that cannot be
// parsed, and a listing larger than the limit.
#include "EngineSessions.h"
#include "ftp/IdException.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

Strings SortedNames(TIdFTP& ftp)
{
    Strings names;
    for (const TIdFTPListItem& item : ftp.ParsedListing())
        names.emplace_back(item.Name());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(FtpListing, ListingsWithMasksAndAnUnparsableLineOfARealServer)
{
    ServerSession s;
    s.ftp.List(nullptr);
    EXPECT_TRUE(s.ftp.ListLines.empty());
    for (const char* name : {"a b.txt", "evil\nname", "z.txt"})
        TempDir::WriteFile(s.server.File(name), "12345");
    std::filesystem::create_directory(s.server.File("dir one"));
    s.ftp.List(nullptr, "a b.txt ", true);
    EXPECT_EQ(SortedNames(s.ftp), Strings{"a b.txt"});
    EXPECT_EQ(s.ftp.ParsedListing().Item(0).Size, 5);
    EXPECT_THROW(s.ftp.List(nullptr, "*.none", false), EIdProtocolReplyError);

    Strings destination;
    s.ftp.List(&destination);
    EXPECT_EQ(destination.size(), 5u);
    EXPECT_EQ(SortedNames(s.ftp), (Strings{"a b.txt", "dir one", "evil", "z.txt"}));
    EXPECT_EQ(s.events.events.back(), "Listing line skipped, it could not be parsed: \"name\"");
    // Built once: asking again neither parses nor reports again.
    const std::size_t reported = s.events.events.size();
    EXPECT_EQ(s.ftp.ParsedListing().Count(), 4u);
    EXPECT_EQ(s.events.events.size(), reported);
}

// The server would send twice the limit; the engine stops reading at the limit.
TEST(FtpListing, AListingOverTheLimitIsRefusedWhileItArrives)
{
    std::string listing;
    while (listing.size() < (16 << 20))
        listing += "-rw-r--r--   1 user     group        1234 Dec 07 09:51 endless.txt\r\n";
    ScriptedPeer data;
    data.Send(listing);
    data.Start();
    ScriptedSession s;
    s.control.Reply(PassiveReply(data.Port()))
        .Reply("150 here it comes\r\n")
        .Send("426 Connection closed; transfer aborted.\r\n")
        .Reply("257 \"/\"\r\n");
    s.Start();
    s.ftp.MaxListingBytes = 8 << 20;
    try {
        s.ftp.List(nullptr);
        ADD_FAILURE() << "no error";
    } catch (const EIdListingTooLarge& e) {
        EXPECT_STREQ(e.what(), "Directory listing refused: it is larger than 8 MiB.");
    }
    EXPECT_TRUE(s.ftp.ListLines.empty());
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
}

}  // namespace
