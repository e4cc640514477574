// Listings through the engine: a real server's listing with a line that cannot be parsed, and a
// listing larger than the limit.
#include "EngineSessions.h"
#include "ftp/IdException.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

TEST(FtpListing, AnUnparsableLineOfARealServerIsSkippedAndReported)
{
    ServerSession s;
    for (const char* name : {"a.txt", "evil\nname", "z.txt"}) TempDir::WriteFile(s.server.File(name), "x");

    Strings destination;
    s.ftp.List(&destination);
    EXPECT_EQ(destination.size(), 4u);
    EXPECT_EQ(s.ftp.ListLines.size(), 4u);
    Strings names;
    for (const TIdFTPListItem& item : s.ftp.ParsedListing())
        names.emplace_back(item.Name());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Strings{"a.txt", "evil", "z.txt"}));
    EXPECT_EQ(s.events.events.back(), "Listing line skipped, it could not be parsed: \"name\"");

    // Built once: asking again neither parses nor reports again.
    const std::size_t reported = s.events.events.size();
    EXPECT_EQ(s.ftp.ParsedListing().Count(), 3u);
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
    EXPECT_EQ(s.ftp.ParsedListing().Count(), 0u);
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
}

}  // namespace
