#include "RemoteScene.h"

#include "fixtures/RandomBytes.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>

#include <sys/stat.h>

namespace {

class FileTransfersTest : public RemoteSceneTest {
protected:
    // Downloads slow enough that the abort and the disconnect land while 2.bin still flows, even
    // on a loaded machine.
    FileTransfersTest() : RemoteSceneTest({.sendLimit = 8 << 20}) {}
    // The data type in effect for each file stored or retrieved, by the TYPE commands sent
    // before it ("?" before any).
    QMap<QString, QString> TypesSent() const
    {
        QMap<QString, QString> types;
        QString type = QStringLiteral("?");
        for (const QString& line : LogLines()) {
            if (line.startsWith(QLatin1String("<< TYPE ")))
                type = line.mid(8);
            else if (line.contains(QRegularExpression(QStringLiteral("^<< (STOR|RETR|APPE) "))))
                types[line.mid(8)] = type;
        }
        return types;
    }
    qint64 LocalSize(const std::string& name) const { return QFileInfo(QString::fromStdString(Local(name))).size(); }
};

}  // namespace

// A saved mode holds from the first transfer. In auto mode text extensions go as ASCII; a folder
// among the rows is asked about, and No skips it while the files still go. How the engine fails,
// resumes and aborts a file is its own test (FtpTransferTest); here each command reaches the
// transfers, a file that cannot move ends only itself, and the window stays quiet and usable.
TEST_F(FileTransfersTest, EachFileGetsItsTypeResumeLeavesAWholeFileAndAFileThatCannotMoveEndsOnlyItself)
{
    const std::pair<const char*, const char*> types[] = {
        {"readme.TXT", "A"}, {"archive.tar.gz", "I"}, {"Makefile", "I"}, {"photo.txt.png", "I"}};
    for (const auto& [name, type] : types)
        Write(Local(name), "line\n");
    mkdir(Local("folder").c_str(), 0755);
    Write(Local("notes.txt"), "a\r\nb\r\n");
    Write(Remote("equal.bin"), std::string(1000, 'x'));
    Write(Local("equal.bin"), std::string(1000, 'y'));
    for (const char* name : {"gone.txt", "pipe", "bad\x01name", "next.txt", "later.txt", "1.txt", "3.txt"})
        Write(Remote(name), name);
    Write(Remote("2.bin"), RandomBytes(64 << 20, 5));
    Write(Local("gone.txt"), "old local");
    Write(Local("later.txt"), "old later");
    mkfifo(Local("pipe").c_str(), 0644);
    Write(Local("a.txt"), "a");
    Write(Local("y.txt"), "y");
    TMainForm& form = OpenConnected("bASCII=0\nbBinary=1\nbAuto=0\n");
    // The case commands name the target.
    RunOnLocal("aUploadUpperCase", {"notes.txt"});
    EXPECT_EQ(TypesSent().value("NOTES.TXT"), "I");
    EXPECT_EQ(Read(Remote("NOTES.TXT")), "a\r\nb\r\n");

    // Resuming leaves a file as long as the server's alone, unlogged.
    RunOnRemote("aDownloadRestore", {"equal.bin"});
    EXPECT_EQ(LocalContents({"equal.bin"}), Strings{std::string(1000, 'y')});
    EXPECT_EQ(OperationLog().find("equal.bin"), std::string::npos);

    Run("aTypeAuto");
    dialogs_->QueueAnswer(TUserDialogs::Answer::No);
    RunOnLocal("aUpload", {"readme.TXT", "archive.tar.gz", "Makefile", "photo.txt.png", "folder"});
    EXPECT_EQ(dialogs_->Shown().size(), 1);
    for (const auto& [name, type] : types) {
        EXPECT_EQ(TypesSent().value(name), type) << name;
        EXPECT_EQ(Read(Remote(name)), "line\n") << name;
    }
    Run("aTypeASCII");
    RunOnLocal("aUpload", {"photo.txt.png"});
    EXPECT_EQ(TypesSent().value("photo.txt.png"), "A");

    // A refusal, a FIFO, a name unsafe here, a vanished local file: each ends only its own file,
    // without a log line for it, and the last file still goes.
    Run("aTypeAuto");
    std::remove(Remote("gone.txt").c_str());
    RunOnRemote("aDownload", {"gone.txt", "pipe", QStringLiteral("bad\x01name"), "next.txt"});
    Select(LocalFiles(), {"a.txt", "pipe", "y.txt"});
    std::remove(Local("a.txt").c_str());
    Run("aUpload");
    EXPECT_EQ(LocalContents({"gone.txt", "bad\x01name", "next.txt"}), (Strings{"old local", "<missing>", "next.txt"}));
    EXPECT_EQ(RemoteContents({"pipe", "a.txt", "y.txt"}), (Strings{"pipe", "<missing>", "y"}));
    for (const char* name : {"gone.txt", "pipe", "bad\x01", "a.txt"})
        EXPECT_EQ(OperationLog().find(name), std::string::npos) << name;
    EXPECT_FALSE(LogLines().contains(QStringLiteral("<< RETR bad\x01name")));

    // The abort command while a file's data flows ends that file; the command goes on with the
    // next. A small receive buffer lets the pump run often enough to catch a file midway.
    form.IdFTP1.RecvBufferSize = 4096;
    QTimer abortWatcher;
    WhileTransferring(
        abortWatcher, [&form] { return form.StatusPanelText(3).contains("2.bin"); },
        [&form] { form.Action("aAbort")->trigger(); });
    RunOnRemote("aDownload", {"1.txt", "2.bin", "3.txt"});
    EXPECT_FALSE(abortWatcher.isActive());
    EXPECT_EQ(LocalContents({"1.txt", "3.txt"}), (Strings{"1.txt", "3.txt"}));
    EXPECT_LT(LocalSize("2.bin"), 64 << 20);
    EXPECT_EQ(OperationLog().find("2.bin"), std::string::npos);

    const std::string operations = OperationLog();
    QTimer dropWatcher;
    // The user ends the session in the middle of the transfer: ABOR, then QUIT.
    WhileTransferring(dropWatcher, [] { return true; }, [&form] { form.Action("aConnect")->trigger(); });
    RunOnRemote("aDownload", {"2.bin", "later.txt"});
    EXPECT_FALSE(form.SessionConnected());
    const QStringList ends = LogLines().filter(QRegularExpression(QStringLiteral("^<< (ABOR|QUIT)")));
    EXPECT_EQ(ends.mid(ends.size() - 2), (QStringList{"<< ABOR", "<< QUIT"}));
    EXPECT_EQ(Read(Local("later.txt")), "old later");
    EXPECT_EQ(OperationLog(), operations);
    // Only the folder question was ever shown: no failure, abort or drop above brought up a message.
    EXPECT_EQ(dialogs_->Shown().size(), 1);
    EXPECT_FALSE(form.BusyFlag());
}
