#include "app/ActionTable.h"

#include <QRegularExpression>

namespace {

constexpr bool Enabled = true;
constexpr bool Disabled = false;
constexpr int NoImage = -1;

TActionSpec Command(const char* name, const char* caption, const char* category, const char* key,
                    bool enabled, int image)
{
    return {name, caption, category, key, enabled, false, false, image};
}

TActionSpec Choice(const char* name, const char* caption, bool checked)
{
    return {name, caption, "オプション", "", Enabled, true, checked, NoImage};
}

}  // namespace

const std::vector<TActionSpec>& ActionTable()
{
    static const std::vector<TActionSpec> table = {
        Command("aShowLog", "ログの表示(&L)", "ツール", "", Enabled, 2),
        Command("aUploadAll", "すべてアップロード(&E)", "ローカル", "", Disabled, 12),
        Command("aConnect", "接続(&C)", "ウインドウ", "", Enabled, 0),
        Command("aAbort", "中止(&Q)", "ウインドウ", "Ctrl+Q", Enabled, 1),
        Command("aOpenNewWindow", "新規ウインドウ(&N)", "ウインドウ", "", Enabled, NoImage),
        Command("aExit", "終了(&X)", "ウインドウ", "", Enabled, 9),
        Command("aUpload", "アップロード(&U)", "ローカル", "Ctrl+U", Disabled, 13),
        Command("aTransformAndUpload", "変換してアップロード(&C)", "ローカル", "", Disabled, 13),
        Command("aDummy", "aDummy", "", "", Enabled, NoImage),
        Command("aUploadAsIs", "そのまま(&A)", "ローカル", "", Enabled, NoImage),
        Command("aUploadUpperCase", "すべて大文字に(&U)", "ローカル", "", Enabled, NoImage),
        Command("aUploadLowerCase", "すべて小文字に(&L)", "ローカル", "", Enabled, NoImage),
        Command("aTransformAndUploadAll", "すべて変換してアップロード(&W)", "ローカル", "", Disabled, 12),
        Command("aUploadAllAsIs", "そのまま(&A)", "ローカル", "", Enabled, NoImage),
        Command("aUploadAllUpperCase", "すべて大文字に(&U)", "ローカル", "", Enabled, NoImage),
        Command("aUploadAllLowerCase", "すべて小文字に(&L)", "ローカル", "", Enabled, NoImage),
        Command("aUploadAppend", "追加アップロード(&B)", "ローカル", "", Enabled, 14),
        Command("aLocalFileOpen", "拡張子に従って開く(&O)", "ローカル", "", Disabled, 15),
        Command("aLocalFileView", "ビューアで開く(&V)", "ローカル", "", Disabled, 10),
        Command("aLocalDirectoryUp", "一つ上のディレクトリへ(&P)", "ローカル", "", Enabled, 11),
        Command("aLocalRefresh", "表示の更新(&K)", "ローカル", "", Enabled, 16),
        Command("aLocalSelectAll", "すべて選択(&A)", "ローカル", "", Enabled, NoImage),
        Command("aLocalMkDir", "新規ディレクトリの作成(&N)", "ローカル", "", Enabled, 17),
        Command("aLocalFileName", "ファイル・ディレクトリ名...(&R)", "ローカル", "", Disabled, 19),
        Command("aLocalRename", "変更(&C)", "ローカル", "", Enabled, NoImage),
        Command("aLocalExtModify", "拡張子の変更(&E)", "ローカル", "", Enabled, NoImage),
        Command("aLocalUpperCase", "すべて大文字に(&U)", "ローカル", "", Enabled, NoImage),
        Command("aLocalLowerCase", "すべて小文字に(&L)", "ローカル", "", Enabled, NoImage),
        Command("aLocalDetail", "詳細表示(&S)", "ローカル", "", Enabled, 21),
        Command("aLocalBookmark", "ブックマークの編集(&B)", "ローカル", "", Enabled, 20),
        Command("aDownload", "ダウンロード(&D)", "リモート", "Ctrl+D", Disabled, 23),
        Command("aDownloadAll", "すべてダウンロード(&E)", "リモート", "", Enabled, 22),
        Command("aTransformAndDownload", "変換してダウンロード(&C)", "リモート", "", Disabled, 23),
        Command("aDownloadAsIs", "そのまま(&A)", "リモート", "", Enabled, NoImage),
        Command("aDownloadUpperCase", "すべて大文字に(&U)", "リモート", "", Enabled, NoImage),
        Command("aDownloadLowerCase", "すべて小文字に(&L)", "リモート", "", Enabled, NoImage),
        Command("aTransformAndDownloadAll", "すべて変換してダウンロード(&W)", "リモート", "", Enabled, 22),
        Command("aDownloadAllAsIs", "そのまま(&A)", "リモート", "", Enabled, NoImage),
        Command("aDownloadAllUpperCase", "すべて大文字に(&U)", "リモート", "", Enabled, NoImage),
        Command("aDownloadAllLowerCase", "すべて小文字に(&L)", "リモート", "", Enabled, NoImage),
        Command("aDownloadRestore", "ダウンロード続行(&R)", "リモート", "", Enabled, 24),
        Command("aRemoteFileView", "ビューアで開く(&V)", "リモート", "", Disabled, 10),
        Command("aRemoteDirectoryUp", "一つ上のディレクトリへ(&P)", "リモート", "", Enabled, 11),
        Command("aRemoteRefresh", "表示の更新(&K)", "リモート", "", Enabled, 16),
        Command("aRemoteSelectAll", "すべて選択(&A)", "リモート", "", Enabled, NoImage),
        Command("aRemoteMkDir", "新規ディレクトリの作成(&M)", "リモート", "", Enabled, 17),
        Command("aRemoteFileName", "ファイル名...(&N)", "リモート", "", Disabled, 19),
        Command("aRemoteRename", "変更(&C)", "リモート", "", Enabled, NoImage),
        Command("aRemoteExtModify", "拡張子の変更(&E)", "リモート", "", Enabled, NoImage),
        Command("aRemoteUpperCase", "すべて大文字に(&U)", "リモート", "", Enabled, NoImage),
        Command("aRemoteLowerCase", "すべて小文字に(&L)", "リモート", "", Enabled, NoImage),
        Command("aRemoteFileDelete", "削除(&X)", "リモート", "", Disabled, 18),
        Command("aChmod", "属性の変更などのコマンドを送る(&S)", "リモート", "", Enabled, 4),
        Command("aRemoteDetail", "詳細表示(&Y)", "リモート", "", Enabled, 21),
        Command("aRemoteBookmark", "ブックマークの編集(&B)", "リモート", "", Enabled, 20),
        Command("aCurrentSessionLog1", "現在のセッション(&S)", "ツール", "", Enabled, NoImage),
        Command("aUploadDownloadLog1", "ファイル処理履歴(&F)", "ツール", "", Enabled, NoImage),
        Command("aExplorer", "エクスプローラの起動(&E)", "ツール", "", Enabled, 6),
        Command("aTransferType", "転送モード(&M)", "オプション", "", Enabled, 5),
        Choice("aTypeASCII", "ASCII", false),
        Choice("aTypeBinary", "Binary", false),
        Choice("aTypeAuto", "Auto", true),
        Command("aListView", "リストビュー(&V)", "オプション", "", Enabled, 3),
        Choice("aReport", "Report", true),
        Choice("aList", "List", false),
        Choice("aSmallIcon", "Small Icon", false),
        Command("aSetKey", "ショートカットの割り当て(&K)", "オプション", "", Enabled, NoImage),
        Command("aOption", "オプション...(&O)", "オプション", "", Enabled, 4),
        Command("aTopics", "トピックスの検索(&T)", "ヘルプ", "", Enabled, NoImage),
        Command("aAbout", "バージョン情報(&A)", "ヘルプ", "", Enabled, NoImage),
        Command("aLocalFileDelete", "削除(&X)", "ローカル", "", Disabled, 18),
    };
    return table;
}

QString ActionHint(const QString& caption)
{
    static const QRegularExpression accessKeySuffix(QStringLiteral("\\(&.\\)$"));
    QString hint = caption;
    hint.remove(accessKeySuffix);
    return hint;
}
