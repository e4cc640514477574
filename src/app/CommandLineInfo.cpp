#include "app/CommandLineInfo.h"

#include <string_view>

namespace {

constexpr std::string_view Usage =
    "使い方: marlux [フォルダー | ファイル | (s)ftp://[ユーザー[:パスワード]@]ホスト[:ポート][/フォルダー]]\n"
    "        marlux --help | --version\n"
    "\n"
    "2 ペインの FTP クライアント Marlux を起動します。\n"
    "  フォルダー    ローカル側にそのフォルダーを表示して始めます\n"
    "  ファイル      ローカル側にそのファイルのあるフォルダーを表示して始めます\n"
    "  ftp://...     ダイアログを出さずにその FTP サーバーに接続し、フォルダーを開きます\n"
    "                (パスワードがなければたずねます。プロファイルには保存しません)\n"
    "  sftp://...    同じく SFTP で接続します (ポートの既定は 22、ホスト鍵は毎回確認します)\n"
    "  -h, --help    この説明を表示して終了します\n"
    "  --version     バージョンを表示して終了します\n"
    "\n"
    "設定と履歴の置き場所: 環境変数 MARLUX_HOME があればそのフォルダー、インストールした\n"
    "Marlux では $XDG_CONFIG_HOME/Marlux (既定 ~/.config/Marlux)。\n";

}  // namespace

std::optional<int> AnswerInfoOption(int argc, const char* const* argv, std::ostream& out)
{
    if (argc < 2)
        return std::nullopt;
    const std::string_view option = argv[1];
    if (option == "--version") {
        out << "Marlux " MARLUX_VERSION "\n";
        return 0;
    }
    if (option == "--help" || option == "-h") {
        out << Usage;
        return 0;
    }
    return std::nullopt;
}
