// Names from a server that stores and lists them as bytes (vsftpd; pyftpdlib re-encodes them):
// Japanese ones shown right in the window without a setting, downloaded under their names in
// UTF-8, sent back in the server's encoding, never two files written to one local name; a name
// no encoding reads shown byte-escaped and used by its bytes.
#include "RemoteScene.h"

#include "fixtures/VsftpdServer.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "panes/RemotePane.h"
#include "panes/RemoteTree.h"
#include "platform/NameEncoding.h"

#include <QComboBox>
#include <QRegularExpression>
#include <QTreeWidget>

#include <string>
#include <sys/stat.h>

namespace {

using Answer = TUserDialogs::Answer;

class RemoteNamesTest : public RemoteSceneTest {
protected:
    RemoteNamesTest() : vsftpd_(VsftpdServer::TAccess::Writable) {}

    QStringList Rows() const { return Sorted(Captions(RemoteList().Model())); }
    // A path on the server under the name's bytes in the encoding.
    std::string ServerPath(const std::string& folder, TNameEncoding encoding, const std::string& name) const
    {
        return vsftpd_.File(folder + "/" + EncodeName(encoding, name));
    }
    TMainForm& Connect()
    {
        TMainForm& form = OpenConnectedTo(vsftpd_.Port(), "anonymous", "guest");
        form.IdFTP1.Passive = true;
        Run("aLocalRefresh");
        return form;
    }
    static QStringList Sorted(QStringList list)
    {
        list.sort();
        return list;
    }

    VsftpdServer vsftpd_;
};

}  // namespace

// Reading each encoding from a listing, and switching between them, is the name codec's own test;
// the window shows and uses the names it decodes alike for every encoding.
TEST_F(RemoteNamesTest, NamesShowRightAreUsedByTheServersBytesAndANameNoEncodingReadsShowsByteEscaped)
{
    const TNameEncoding sjis = TNameEncoding::ShiftJis;
    Write(ServerPath("jp", sjis, "東京.txt"), "tokyo");
    Write(ServerPath("jp", sjis, "能力|予算.xls"), "budget");
    Write(ServerPath("jp", sjis, "ソフト/表.txt"), "table");
    Write(vsftpd_.File("case/README.txt"), "upper");
    Write(vsftpd_.File("case/Readme.TXT"), "mixed");
    const std::string latin1 = std::string("caf") + char(0xE9);
    Write(vsftpd_.File("latin/" + latin1 + "/inside.txt"), "");
    Write(vsftpd_.File("latin/" + latin1 + ".txt"), "latin");
    Write(Local("名古屋.txt"), "nagoya");
    TMainForm& form = Connect();
    // A typed path the connection has seen no names of yet is tried in each encoding.
    form.Controls().RemoteDirBox->setEditText(QString::fromStdString(vsftpd_.Root()) + QStringLiteral("/jp/ソフト"));
    Run("aRemoteRefresh");
    ASSERT_EQ(Rows(), QStringList{"表.txt"});
    Run("aRemoteDirectoryUp");
    ASSERT_EQ(Rows(), (QStringList{"ソフト", "東京.txt", "能力|予算.xls"}));

    // Downloads are written under the shown names in UTF-8, and the log shows them as the panes do.
    Select(RemoteList(), {QStringLiteral("東京.txt"), QStringLiteral("能力|予算.xls")});
    Run("aDownload");
    EXPECT_EQ(LocalContents({"東京.txt", "能力|予算.xls"}), (Strings{"tokyo", "budget"}));
    EXPECT_NE(OperationLog().find("Download " + Local("東京.txt")), std::string::npos);
    EXPECT_FALSE(LogLines().filter(QStringLiteral("<< RETR 東京.txt")).isEmpty());
    SelectLocal({QStringLiteral("名古屋.txt")});
    Run("aUpload");
    EXPECT_EQ(Read(ServerPath("jp", sjis, "名古屋.txt")), "nagoya");

    Select(RemoteList(), {QStringLiteral("東京.txt")});
    QueueName(QStringLiteral("京都.txt"));
    Run("aRemoteRename");
    EXPECT_EQ(Read(ServerPath("jp", sjis, "京都.txt")), "tokyo");
    QueueName(QStringLiteral("新しいフォルダ"));
    Run("aRemoteMkDir");
    EXPECT_TRUE(Exists(ServerPath("jp", sjis, "新しいフォルダ")));

    // A second byte 0x5C is no path separator: the folder is entered and its file deleted.
    Enter(QStringLiteral("ソフト"));
    ASSERT_EQ(Rows(), QStringList{"表.txt"});
    Run("aRemoteSelectAll");
    Delete(Answer::Yes);
    EXPECT_FALSE(Exists(ServerPath("jp", sjis, "ソフト/表.txt")));

    // A character the chosen encoding lacks is refused in the log before anything is sent.
    form.IdFTP1.NameCodec.SetChoice(sjis);
    Write(Local("旅行😀.txt"), "trip");
    Run("aLocalRefresh");
    SelectLocal({QStringLiteral("旅行😀.txt")});
    Run("aUpload");
    const QString refusal = QStringLiteral("「旅行😀.txt」の文字「😀」(U+1F600) は Shift_JIS で表せないため、この名前はサーバーに送れません");
    EXPECT_EQ(LogLines().filter(refusal).size(), 1);
    QueueName(QStringLiteral("絵😀"));
    Run("aRemoteMkDir");
    EXPECT_EQ(LogLines().filter(QStringLiteral("「絵😀」の文字「😀」(U+1F600)")).size(), 1);
    EXPECT_TRUE(LogLines().filter(QRegularExpression(QStringLiteral("^<< (STOR|MKD|SIZE) .*(旅行|絵)"))).isEmpty());

    // Two remote names for one local name: only the first is written, and the log says why.
    form.Options().iFileNameAfterTransfer = 2;  // lower case
    form.Controls().RemoteDirBox->setEditText(QString::fromStdString(vsftpd_.File("case")));
    Run("aRemoteRefresh");
    Run("aRemoteSelectAll");
    Run("aDownload");
    const bool upperFirst = Captions(RemoteList().Model()).front() == QStringLiteral("README.txt");
    EXPECT_EQ(Read(Local("readme.txt")), upperFirst ? "upper" : "mixed");
    EXPECT_EQ(LogLines().filter(QStringLiteral("にはこの転送で別のファイルを書き込んだため")).size(), 1);
    form.Options().iFileNameAfterTransfer = 0;

    form.Controls().RemoteDirBox->setEditText(QString::fromStdString(vsftpd_.File("latin")));
    Run("aRemoteRefresh");
    ASSERT_EQ(Rows(), (QStringList{"caf%E9", "caf%E9.txt"}));
    EXPECT_EQ(RemoteList().Model().Row(0).entry.nameBytes, QByteArray::fromStdString(latin1));
    // A name derived from the shown text is the file's name with the letters changed.
    Select(RemoteList(), {QStringLiteral("caf%E9.txt")});
    dialogs_->QueueAnswer(Answer::Yes);
    Run("aRemoteUpperCase");
    EXPECT_EQ(Read(vsftpd_.File("latin/CAF\xE9.TXT")), "latin");
    Enter(QStringLiteral("caf%E9"));
    EXPECT_EQ(Rows(), QStringList{"inside.txt"});
    // The box's text stands for the bytes the server reported, so a refresh stays there, and
    // so does a click on the directory's tree node.
    Run("aRemoteRefresh");
    EXPECT_EQ(Rows(), QStringList{"inside.txt"});
    auto& tree = *form.Controls().RemoteSysTreeView;
    emit tree.itemClicked(form.RemotePane().Tree().CurrentDirNode(), 0);
    Settle(form);
    EXPECT_EQ(Rows(), QStringList{"inside.txt"});
}
