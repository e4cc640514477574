#include "RemoteScene.h"

#include "fixtures/ProftpdServer.h"
#include "fixtures/RandomBytes.h"
#include "ftp/IdLogEvent.h"

#include <QAction>

#include <fstream>
#include <functional>
#include <utility>

namespace {

// The window against ProFTPD, which gives the digest of a file; a byte of the server's copy can
// be changed just before the digest is asked for, as a disk or a server might damage it.
class VerifiedTransferWindowTest : public RemoteSceneTest {
protected:
    TMainForm& OpenOnProftpd()
    {
        TMainForm& form = OpenConnectedTo(proftpd_.Port(), "user", "secret");
        Run("aLocalRefresh");
        // The log hook runs on the engine's thread as each command goes out.
        TIdLogEvent& log = form.IdLogEvent1;
        log.OnSent = [this, previous = log.OnSent](TIdLogBase* sender, const std::string& id, const std::string& data) {
            if (beforeDigest_ && (data.rfind("HASH ", 0) == 0 || data.rfind("XSHA256 ", 0) == 0))
                std::exchange(beforeDigest_, nullptr)();
            previous(sender, id, data);
        };
        return form;
    }
    static void FlipByte(const std::string& path)
    {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        char byte = 0;
        file.seekg(100);
        file.get(byte);
        file.seekp(100);
        file.put(char(byte ^ 0x55));
    }

    ProftpdServer proftpd_;
    std::function<void()> beforeDigest_;
};

}  // namespace

// A file whose copy differs after the transfer is not logged as moved: the session log names
// it and the ".part" it was left as, and the operation log has its "Verify" line. A file that
// arrives whole is logged as before.
TEST_F(VerifiedTransferWindowTest, AFileThatArrivesDifferentIsReportedAndLeftAsPart)
{
    const std::string bytes = RandomBytes(50000, 9);
    Write(proftpd_.File("good.bin"), bytes);
    Write(proftpd_.File("bad.bin"), bytes);
    TMainForm& form = OpenOnProftpd();
    beforeDigest_ = [this] { FlipByte(proftpd_.File("bad.bin")); };
    Select(RemoteList(), {QStringLiteral("bad.bin"), QStringLiteral("good.bin")});
    Run("aDownload");

    EXPECT_EQ(Read(Local("good.bin")), bytes);
    EXPECT_FALSE(Exists(Local("bad.bin")));
    EXPECT_EQ(Read(Local("bad.bin.part")), bytes);
    EXPECT_TRUE(LogLines().contains(
        QStringLiteral("転送後の検証で SHA-256 が一致しません: bad.bin（bad.bin.part として残しました）")))
        << LogLines().join(u'\n').toStdString();
    const std::string operations = OperationLog();
    EXPECT_NE(operations.find(" Verify " + Local("bad.bin") + " != "), std::string::npos) << operations;
    EXPECT_NE(operations.find("Download " + Local("good.bin")), std::string::npos) << operations;
    EXPECT_EQ(operations.find("Download " + Local("bad.bin")), std::string::npos) << operations;
    EXPECT_FALSE(form.BusyFlag());

    // With the profile's check off nothing is asked after the transfer.
    form.IdFTP1.VerifyTransfers = false;
    const qsizetype asked = LogLines().filter(QStringLiteral("<< HASH")).size();
    Select(RemoteList(), {QStringLiteral("good.bin")});
    Run("aDownload");
    EXPECT_EQ(LogLines().filter(QStringLiteral("<< HASH")).size(), asked);
}
