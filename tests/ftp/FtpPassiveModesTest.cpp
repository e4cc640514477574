#include "EngineSessions.h"
#include "ftp/IdException.h"
#include "ftp/IdFTP.h"
#include "ftp/IdText.h"

#include <gtest/gtest.h>

// Addresses and ports come from server text: every malformed field is refused.
TEST(PassiveReplies, PortsAreTakenFromAnyDelimiterAndNonsenseIsRefused) {
    const TIdFTP::PassiveAddress a = ParsePassiveReply("Entering Passive Mode (192,168,0,10,19,137)");
    EXPECT_EQ(a.address, "192.168.0.10");
    EXPECT_EQ(a.port, 5001);
    EXPECT_EQ(ParseExtendedPassiveReply("Entering Extended Passive Mode (|||6446|)").port, 6446);
    EXPECT_EQ(ParseExtendedPassiveReply("ok (!!!21!)").port, 21);
    EXPECT_TRUE(ParseExtendedPassiveReply("(|||1|)").address.empty());
    for (const char* bad : {"Entering Extended Passive Mode", "(|||0|)", "(|||65536|)", "(|||x|)", "(||6446|)",
                            "(|||6446!)", "(||||)"})
        EXPECT_THROW(ParseExtendedPassiveReply(bad), EConvertError) << bad;
    EXPECT_THROW(ParsePassiveReply("Entering Passive Mode (1,2,3,4,x,1)"), EConvertError);
    EXPECT_THROW(ParsePassiveReply("garbage"), EConvertError);
    EXPECT_EQ(PortCommand("192.168.0.5", 4660), "PORT 192,168,0,5,18,52");
    EXPECT_EQ(ExtendedPortCommand("::1", 4660), "EPRT |2|::1|4660|");
}

TEST(IPv6, BracketedAndBareAddressesReachTheServerWithEpsvAndEprt) {
    FtpServer server({.ipv6 = true});
    TempDir::WriteFile(server.File("six.txt"), "over IPv6");
    for (const std::string& host : {std::string("[::1]"), std::string("::1")}) {
        for (bool passive : {true, false}) {
            TIdFTP ftp;
            SentCommands sent;
            AimAtServer(ftp, host, server.Port(), passive);
            sent.Attach(ftp);
            ftp.Connect(true, 5000);
            EXPECT_EQ(ftp.Binding().PeerIP, "::1");
            TIdStringStream stream;
            ftp.Get("six.txt", stream);
            EXPECT_EQ(stream.Bytes(), "over IPv6");
            EXPECT_EQ(sent.Count("PASV") + sent.Count("PORT"), 0u);
            EXPECT_EQ(sent.Count(passive ? "EPSV" : "EPRT |2|::1|"), 1u) << host;
        }
    }
}
