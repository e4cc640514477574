// Japanese names from a server that stores and lists them as bytes (vsftpd): shown right in
// the window without a setting, downloaded under their names in UTF-8, sent back in the
// server's encoding, and never two files written to one local name.
#include "RemoteScene.h"

#include "fixtures/VsftpdServer.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "platform/NameEncoding.h"

#include <QComboBox>
#include <QDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTreeView>

#include <algorithm>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using Answer = TUserDialogs::Answer;

class RemoteNamesTest : public RemoteSceneTest {
protected:
    RemoteNamesTest() : vsftpd_(VsftpdServer::TAccess::Writable) {}

    QStringList Rows() const { return Sorted(Captions(RemoteList().Model())); }
    // A file on the server under the name's bytes in the encoding, holding `content`.
    void ServerFile(const std::string& folder, TNameEncoding encoding, const std::string& name,
                    const std::string& content) const
    {
        Write(ServerPath(folder, encoding, name), content);
    }
    std::string ServerPath(const std::string& folder, TNameEncoding encoding, const std::string& name) const
    {
        return vsftpd_.File(folder + "/" + EncodeName(encoding, name));
    }
    TMainForm& Connect(const std::string& settings = {})
    {
        TMainForm& form = OpenConnectedTo(vsftpd_.Port(), "anonymous", "guest", settings);
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

const std::vector<std::string> CommonNames{"東京.txt", "大阪.txt", "表.txt", "ソフト.dat", "能力|予算.xls"};

}  // namespace

TEST_F(RemoteNamesTest, EachEncodingShowsRightBelowAnAsciiParentAndMovesFilesByteExactUnderTheirNames)
{
    struct Case {
        std::string folder;
        TNameEncoding encoding;
        std::vector<std::string> names;
    };
    std::vector<std::string> shiftJisNames = CommonNames;
    shiftJisNames.push_back("ﾃﾞｰﾀ.csv");
    const std::vector<Case> cases{{"sjis", TNameEncoding::ShiftJis, shiftJisNames},
                                  {"euc", TNameEncoding::EucJp, CommonNames},
                                  {"utf8", TNameEncoding::Utf8, CommonNames},
                                  // Back to one seen before: decisive names switch again.
                                  {"sjis2", TNameEncoding::ShiftJis, {"名古屋.txt"}}};
    for (const Case& c : cases)
        for (const std::string& name : c.names)
            ServerFile(c.folder, c.encoding, name, c.folder + ":" + name);
    Write(Local("札幌.txt"), "sapporo");
    Connect();
    ASSERT_EQ(Rows(), (QStringList{"euc", "sjis", "sjis2", "utf8"}));

    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        Enter(QString::fromStdString(c.folder));
        QStringList expected;
        for (const std::string& name : c.names)
            expected << QString::fromStdString(name);
        ASSERT_EQ(Rows(), Sorted(expected));
        Run("aRemoteSelectAll");
        Run("aDownload");
        for (const std::string& name : c.names)
            EXPECT_EQ(Read(Local(name)), c.folder + ":" + name) << name;
        EXPECT_NE(OperationLog().find("Download " + Local(c.names.front())), std::string::npos);
        SelectLocal({QStringLiteral("札幌.txt")});
        Run("aUpload");
        EXPECT_EQ(Read(ServerPath(c.folder, c.encoding, "札幌.txt")), "sapporo");
        Run("aRemoteDirectoryUp");
    }
    // The dialogue shows the names as the panes do.
    EXPECT_TRUE(LogLines().contains(QStringLiteral("<< CWD ") + QString::fromStdString(vsftpd_.Root()) + QStringLiteral("/sjis2")));
    EXPECT_FALSE(LogLines().filter(QStringLiteral("<< RETR 名古屋.txt")).isEmpty());
}

TEST_F(RemoteNamesTest, UploadsRenamesFoldersAndTheBackslashNamesReachTheServerInItsEncoding)
{
    const TNameEncoding sjis = TNameEncoding::ShiftJis;
    ServerFile("jp", sjis, "東京.txt", "tokyo");
    ServerFile("jp", sjis, "ソフト/表.txt", "table");
    Write(Local("名古屋.txt"), "nagoya");
    Write(Local("予算.xls"), "budget");
    TMainForm& form = Connect();
    // A typed path the connection has seen no names of yet is tried in each encoding.
    form.Controls().RemoteDirBox->setEditText(QString::fromStdString(vsftpd_.Root()) + QStringLiteral("/jp/ソフト"));
    Run("aRemoteRefresh");
    ASSERT_EQ(Rows(), QStringList{"表.txt"});
    Run("aRemoteDirectoryUp");
    ASSERT_EQ(Rows(), (QStringList{"ソフト", "東京.txt"}));

    SelectLocal({QStringLiteral("名古屋.txt"), QStringLiteral("予算.xls")});
    Run("aUpload");
    EXPECT_EQ(Read(ServerPath("jp", sjis, "名古屋.txt")), "nagoya");
    EXPECT_EQ(Read(ServerPath("jp", sjis, "予算.xls")), "budget");

    Select(RemoteList(), {QStringLiteral("東京.txt")});
    QueueName(QStringLiteral("京都.txt"));
    Run("aRemoteRename");
    EXPECT_EQ(Read(ServerPath("jp", sjis, "京都.txt")), "tokyo");
    QueueName(QStringLiteral("新しいフォルダ"));
    Run("aRemoteMkDir");
    EXPECT_TRUE(Exists(ServerPath("jp", sjis, "新しいフォルダ")));

    // A second byte 0x5C is no path separator: the folder is entered, its file fetched and deleted.
    Enter(QStringLiteral("ソフト"));
    ASSERT_EQ(Rows(), QStringList{"表.txt"});
    Run("aRemoteSelectAll");
    Run("aDownload");
    EXPECT_EQ(Read(Local("表.txt")), "table");
    Run("aRemoteSelectAll");
    Delete(Answer::Yes);
    EXPECT_FALSE(Exists(ServerPath("jp", sjis, "ソフト/表.txt")));
}

TEST_F(RemoteNamesTest, UndecodableBytesBecomeEscapesThatUploadBackToTheSameBytes)
{
    const std::string badName = "bad\xFF.txt", percentName = "100%\xFF.txt";
    ServerFile("mixed", TNameEncoding::ShiftJis, "東京.txt", "tokyo");
    Write(vsftpd_.File("mixed/" + badName), "bad");
    Write(vsftpd_.File("mixed/" + percentName), "percent");
    Connect();
    Enter(QStringLiteral("mixed"));
    ASSERT_EQ(Rows(), (QStringList{"100%25%FF.txt", "bad%FF.txt", "東京.txt"}));
    Run("aRemoteSelectAll");
    Run("aDownload");
    EXPECT_EQ(LocalContents({"bad%FF.txt", "100%25%FF.txt"}), (Strings{"bad", "percent"}));

    Run("aRemoteSelectAll");
    Delete(Answer::Yes);
    Run("aLocalRefresh");
    SelectLocal({QStringLiteral("bad%FF.txt"), QStringLiteral("100%25%FF.txt")});
    Run("aUpload");
    EXPECT_EQ(Read(vsftpd_.File("mixed/" + badName)), "bad");
    EXPECT_EQ(Read(vsftpd_.File("mixed/" + percentName)), "percent");
}

TEST_F(RemoteNamesTest, TwoRemoteNamesForOneLocalNameWriteOnlyTheFirstAndSayWhy)
{
    Write(vsftpd_.File("case/README.txt"), "upper");
    Write(vsftpd_.File("case/Readme.TXT"), "mixed");
    Connect("iFileNameAfterTransfer=2\n");  // lower case
    Enter(QStringLiteral("case"));
    Run("aRemoteSelectAll");
    Run("aDownload");
    const std::string first = Captions(RemoteList().Model()).front() == QStringLiteral("README.txt") ? "upper" : "mixed";
    EXPECT_EQ(Read(Local("readme.txt")), first);
    EXPECT_EQ(LogLines().filter(QStringLiteral("にはこの転送で別のファイルを書き込んだため")).size(), 1);
}

TEST_F(RemoteNamesTest, TheProfileChoiceOverridesDetectionAndAMissingCharacterIsRefusedBeforeSending)
{
    ServerFile("jp", TNameEncoding::ShiftJis, "東京.txt", "tokyo");
    TMainForm& form = Connect();
    form.IdFTP1.NameCodec.SetChoice(TNameEncoding::EucJp);
    Enter(QStringLiteral("jp"));
    EXPECT_EQ(Rows(), QStringList{QString::fromStdString(DecodeName(TNameEncoding::EucJp, EncodeName(TNameEncoding::ShiftJis, "東京.txt")))});

    form.IdFTP1.NameCodec.SetChoice(TNameEncoding::ShiftJis);
    Run("aRemoteRefresh");
    EXPECT_EQ(Rows(), QStringList{"東京.txt"});
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
}
