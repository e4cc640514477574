#include "session/SshHostKeyQuestion.h"

#include "session/SshSettings.h"

QString SshHostKeyQuestion(const std::string& fingerprint, const std::string& keyType, THostKeyNotice notice)
{
    const QString key = QStringLiteral("\n\n鍵の種類: ") + QString::fromStdString(keyType) +
                        QStringLiteral("\nフィンガープリント: ") + QString::fromStdString(fingerprint);
    if (notice != THostKeyNotice::Changed)
        return QStringLiteral("サーバーのホスト鍵はまだ信頼されていません。") + key +
               (notice == THostKeyNotice::UnknownForProfile
                    ? QStringLiteral("\n\nこのプロファイルでこのホスト鍵を信頼しますか？")
                    : QStringLiteral("\n\nこの接続の間、このホスト鍵を信頼しますか？（保存はしません）"));
    return QStringLiteral("警告: サーバーのホスト鍵が前回信頼したものから変更されています！\n"
                          "別のサーバーが接続先になりすましている可能性があるため、接続を拒否しました。") +
           key +
           QStringLiteral("\n\nサーバーの鍵が交換されたことを管理者に確かめられた場合に限り、設定ファイルの"
                          "このプロファイルから ") +
           QString::fromLatin1(SshHostKeyKeyName) + QStringLiteral(" を削除して接続し直してください。");
}
