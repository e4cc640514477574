#include "app/ActionTable.h"

#include <QRegularExpression>

namespace {

constexpr bool Enabled = true;
constexpr bool Disabled = false;
constexpr int NoImage = -1;

TActionRow Command(const char* name, const char* caption, const char* category, const char* key,
                   bool enabled, int image)
{
    return {name, caption, category, key, enabled, false, false, image, false};
}

// A command that talks to the server; it waits while the engine is inside another command.
TActionRow EngineCommand(const char* name, const char* caption, const char* category, const char* key,
                         bool enabled, int image)
{
    TActionRow row = Command(name, caption, category, key, enabled, image);
    row.usesEngine = true;
    return row;
}

TActionRow Choice(const char* name, const char* caption, bool checked)
{
    return {name, caption, "オプション", "", Enabled, true, checked, NoImage, false};
}

}  // namespace

const std::vector<TActionRow>& ActionTable()
{
    static const std::vector<TActionRow> table = {
        Command("aShowLog", "ログの表示(&L)", "ツール", "", Enabled, 2),
        EngineCommand("aUploadAll", "すべてアップロード(&E)", "ローカル", "", Disabled, 12),
        Command("aConnect", "接続(&C)", "ウインドウ", "", Enabled, 0),
        Command("aAbort", "中止(&Q)", "ウインドウ", "Ctrl+Q", Enabled, 1),
        Command("aOpenNewWindow", "新規ウインドウ(&N)", "ウインドウ", "", Enabled, NoImage),
        Command("aExit", "終了(&X)", "ウインドウ", "", Enabled, 9),
        EngineCommand("aUpload", "アップロード(&U)", "ローカル", "Ctrl+U", Disabled, 13),
        EngineCommand("aTransformAndUpload", "変換してアップロード(&C)", "ローカル", "", Disabled, 13),
        Command("aDummy", "aDummy", "", "", Enabled, NoImage),
        EngineCommand("aUploadAsIs", "そのまま(&A)", "ローカル", "", Enabled, NoImage),
        EngineCommand("aUploadUpperCase", "すべて大文字に(&U)", "ローカル", "", Enabled, NoImage),
        EngineCommand("aUploadLowerCase", "すべて小文字に(&L)", "ローカル", "", Enabled, NoImage),
        EngineCommand("aTransformAndUploadAll", "すべて変換してアップロード(&W)", "ローカル", "", Disabled, 12),
        EngineCommand("aUploadAllAsIs", "そのまま(&A)", "ローカル", "", Enabled, NoImage),
        EngineCommand("aUploadAllUpperCase", "すべて大文字に(&U)", "ローカル", "", Enabled, NoImage),
        EngineCommand("aUploadAllLowerCase", "すべて小文字に(&L)", "ローカル", "", Enabled, NoImage),
        EngineCommand("aUploadAppend", "追加アップロード(&B)", "ローカル", "", Enabled, 14),
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
        EngineCommand("aDownload", "ダウンロード(&D)", "リモート", "Ctrl+D", Disabled, 23),
        EngineCommand("aDownloadAll", "すべてダウンロード(&E)", "リモート", "", Enabled, 22),
        EngineCommand("aTransformAndDownload", "変換してダウンロード(&C)", "リモート", "", Disabled, 23),
        EngineCommand("aDownloadAsIs", "そのまま(&A)", "リモート", "", Enabled, NoImage),
        EngineCommand("aDownloadUpperCase", "すべて大文字に(&U)", "リモート", "", Enabled, NoImage),
        EngineCommand("aDownloadLowerCase", "すべて小文字に(&L)", "リモート", "", Enabled, NoImage),
        EngineCommand("aTransformAndDownloadAll", "すべて変換してダウンロード(&W)", "リモート", "", Enabled, 22),
        EngineCommand("aDownloadAllAsIs", "そのまま(&A)", "リモート", "", Enabled, NoImage),
        EngineCommand("aDownloadAllUpperCase", "すべて大文字に(&U)", "リモート", "", Enabled, NoImage),
        EngineCommand("aDownloadAllLowerCase", "すべて小文字に(&L)", "リモート", "", Enabled, NoImage),
        EngineCommand("aDownloadRestore", "ダウンロード続行(&R)", "リモート", "", Enabled, 24),
        EngineCommand("aRemoteFileView", "ビューアで開く(&V)", "リモート", "", Disabled, 10),
        EngineCommand("aRemoteDirectoryUp", "一つ上のディレクトリへ(&P)", "リモート", "", Enabled, 11),
        EngineCommand("aRemoteRefresh", "表示の更新(&K)", "リモート", "", Enabled, 16),
        Command("aRemoteSelectAll", "すべて選択(&A)", "リモート", "", Enabled, NoImage),
        EngineCommand("aRemoteMkDir", "新規ディレクトリの作成(&M)", "リモート", "", Enabled, 17),
        EngineCommand("aRemoteFileName", "ファイル名...(&N)", "リモート", "", Disabled, 19),
        EngineCommand("aRemoteRename", "変更(&C)", "リモート", "", Enabled, NoImage),
        EngineCommand("aRemoteExtModify", "拡張子の変更(&E)", "リモート", "", Enabled, NoImage),
        EngineCommand("aRemoteUpperCase", "すべて大文字に(&U)", "リモート", "", Enabled, NoImage),
        EngineCommand("aRemoteLowerCase", "すべて小文字に(&L)", "リモート", "", Enabled, NoImage),
        EngineCommand("aRemoteFileDelete", "削除(&X)", "リモート", "", Disabled, 18),
        EngineCommand("aChmod", "属性の変更などのコマンドを送る(&S)", "リモート", "", Enabled, 4),
        EngineCommand("aRemoteDetail", "詳細表示(&Y)", "リモート", "", Enabled, 21),
        EngineCommand("aRemoteBookmark", "ブックマークの編集(&B)", "リモート", "", Enabled, 20),
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
