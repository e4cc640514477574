#include "fileops/FileOpSteps.h"

#include "fileops/FileDlg.h"
#include "fileops/NameTransforms.h"
#include "log/LogViewer.h"
#include "service/FileEntry.h"
#include "settings/UserDialogs.h"

#include <QLineEdit>

namespace {

using Answer = TUserDialogs::Answer;
using Buttons = TUserDialogs::Buttons;
using Icon = TUserDialogs::Icon;

}  // namespace

TFileOpSteps::TFileOpSteps(QWidget& owner, TUserDialogs& dialogs) : owner_(owner), dialogs_(dialogs) {}

bool TFileOpSteps::NoticeIfEmpty(const QList<TFileOpRow>& rows, TNotice notice) const
{
    if (!rows.isEmpty())
        return false;
    dialogs_.ShowMessage(notice == TNotice::SelectFile ? QStringLiteral("ファイルを選択してください")
                                                       : QStringLiteral("ファイルかフォルダーを選択してください"));
    return true;
}

QList<TFileOpRow> FileOpRows(const std::vector<TFileEntry>& entries)
{
    QList<TFileOpRow> rows;
    for (const TFileEntry& entry : entries)
        rows.append({entry.name, entry.IsFolder(), entry.nameBytes,
                     entry.sizeKnown ? std::optional<qint64>(entry.size) : std::nullopt});
    return rows;
}

std::optional<QString> TFileOpSteps::AskNewDirectoryName(const QString& currentName) const
{
    TFileDlg dialog(&owner_);
    dialog.Prepare(QStringLiteral("新規ディレクトリの作成"), currentName, QStringLiteral("新規ディレクトリ名：　"),
                   QStringLiteral("NewDir"));
    if (dialogs_.RunModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.NewEdit()->text();
}

bool TFileOpSteps::ConfirmCreateDirectory(const QString& shown) const
{
    return dialogs_.Ask(shown + QStringLiteral("を作成しますか？"), Buttons::YesNo) == Answer::Yes;
}

TTask<TFileOpSteps::TStep> TFileOpSteps::ConfirmRename(const TFileOpRow& row, const QString& newName,
                                                       const TRenameRow& rename, bool& changed) const
{
    switch (dialogs_.Ask(row.name + QStringLiteral("を\n") + newName + QStringLiteral("\nに変更しますか?"),
                         Buttons::YesNoCancel)) {
    case Answer::Yes:
        changed = true;
        co_await rename(row, newName);
        co_return TStep::Next;
    case Answer::No:
        co_return TStep::Next;
    default:
        co_return TStep::Stop;
    }
}

TTask<bool> TFileOpSteps::RenameRows(QList<TFileOpRow> rows, bool folderTexts, TRenameRow rename) const
{
    TFileDlg dialog(&owner_);
    bool changed = false;
    for (const TFileOpRow& row : rows) {
        if (folderTexts && row.folder)
            dialog.Prepare(QStringLiteral("ディレクトリ名の変更"), QStringLiteral("選択中のディレクトリ ") + row.name,
                           QStringLiteral("新規ディレクトリ名：　"), row.name);
        else
            dialog.Prepare(QStringLiteral("ファイル名の変更"), QStringLiteral("選択中のファイル： ") + row.name,
                           QStringLiteral("新規ファイル名：　"), row.name);
        if (dialogs_.RunModal(dialog) != QDialog::Accepted)
            break;
        const TStep step = co_await ConfirmRename(row, dialog.NewEdit()->text(), rename, changed);
        if (step == TStep::Stop)
            break;
    }
    co_return changed;
}

TTask<bool> TFileOpSteps::ChangeExtensions(QList<TFileOpRow> rows, TRenameRow rename) const
{
    QString ext;
    {
        TFileDlg dialog(&owner_);
        dialog.Prepare(QStringLiteral("拡張子の変更"), QString(), QStringLiteral("変更後の拡張子："),
                       QStringLiteral(".XXX"));
        if (dialogs_.RunModal(dialog) != QDialog::Accepted)
            co_return false;
        ext = dialog.NewEdit()->text();
    }
    bool changed = false;
    for (const TFileOpRow& row : rows) {
        if (row.folder)
            continue;
        const TStep step = co_await ConfirmRename(row, ExtensionChangedName(row.name, ext), rename, changed);
        if (step == TStep::Stop)
            break;
    }
    co_return changed;
}

TTask<bool> TFileOpSteps::ChangeCase(QList<TFileOpRow> rows, TLetterCase letterCase, TRenameRow rename) const
{
    const bool upper = letterCase == TLetterCase::Upper;
    const QString questionTail =
        upper ? QStringLiteral("を\nすべて大文字に変換しますか?") : QStringLiteral("を\nすべて小文字に変換しますか?");
    bool changed = false;
    for (const TFileOpRow& row : rows) {
        const Answer answer = dialogs_.Ask(row.name + questionTail, Buttons::YesNoCancel);
        if (answer == Answer::No)
            continue;
        if (answer != Answer::Yes)
            break;
        changed = true;
        const QString newName = upper ? UpperCaseName(row.name) : LowerCaseName(row.name);
        co_await rename(row, newName);
    }
    co_return changed;
}

bool TFileOpSteps::ConfirmDelete() const
{
    return dialogs_.Ask(QStringLiteral("選択中のファイルとディレクトリを一括して削除しますか？"
                                       "\nただし、ディレクトリの場合は中身が空でないと削除できません!!"),
                        Buttons::YesNo, Icon::Exclamation) == Answer::Yes &&
           dialogs_.Ask(QStringLiteral("削除したファイルは元に戻せませんがよろしいですか？"), Buttons::YesNo, Icon::Stop) ==
               Answer::Yes;
}

void TFileOpSteps::StartViewerOrReconfigure(const QString& viewer, const QString& path,
                                            const std::function<void()>& reconfigure) const
{
    if (StartViewer(viewer, path))
        return;
    dialogs_.ShowMessage(QStringLiteral("ファイルが開けませんでした。ビューアの再設定が必要です"));
    reconfigure();
}
