#include "fileops/LocalFileOps.h"

#include "fileops/DetailedListing.h"
#include "fileops/FileDlg.h"
#include "fileops/NameTransforms.h"
#include "log/FileOperationLog.h"
#include "log/LogViewer.h"
#include "panes/LocalPaths.h"
#include "platform/LocalEntries.h"
#include "settings/UserDialogs.h"
#include "settings/WindowSettings.h"

#include <QDesktopServices>
#include <QFile>
#include <QLineEdit>
#include <QUrl>

namespace {

const QString SelectFileOrFolder = QStringLiteral("ファイルかフォルダーを選択してください");
const QString SelectFile = QStringLiteral("ファイルを選択してください");
const QString ViewerFailed = QStringLiteral("ファイルが開けませんでした。ビューアの再設定が必要です");

using Answer = TUserDialogs::Answer;
using Buttons = TUserDialogs::Buttons;
using Icon = TUserDialogs::Icon;

std::string Native(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// A listed name whose bytes were not valid in the local encoding cannot be turned back into
// the same bytes: acting on its decoded form could reach another entry. It is left alone, as a
// name the file system refuses.
bool Decodable(const TLocalRow& row)
{
    return !row.name.contains(QChar::ReplacementCharacter);
}

void Log(const TFileOperationLog& log, const QString& operation, const QString& first,
         const QString& direction = {}, const QString& second = {})
{
    log.AppendFileOperationLog(operation, first, direction, second);
}

}  // namespace

TLocalFileOps::TLocalFileOps(TLocalFileOpsHost host, TLocalPaneAccess pane)
    : host_(std::move(host)), pane_(std::move(pane))
{
}

QString TLocalFileOps::FullPath(const QString& name) const
{
    return LocalEntryPath(pane_.currentDirectory(), name);
}

QList<TLocalRow> TLocalFileOps::SelectedRowsOrNotice(const QString& notice) const
{
    QList<TLocalRow> rows = pane_.selectedRows();
    if (rows.isEmpty())
        Dialogs().ShowMessage(notice);
    rows.removeIf([](const TLocalRow& row) { return !Decodable(row); });
    return rows;
}

void TLocalFileOps::StartViewerOrReconfigure(const QString& path) const
{
    if (StartViewer(host_.options.asApplication, path))
        return;
    Dialogs().ShowMessage(ViewerFailed);
    host_.aOptionExecute();
}

void TLocalFileOps::aLocalFileOpenExecute()
{
    for (const TLocalRow& row : SelectedRowsOrNotice(SelectFileOrFolder))
        QDesktopServices::openUrl(QUrl::fromLocalFile(FullPath(row.name)));
}

void TLocalFileOps::aLocalFileViewExecute()
{
    for (const TLocalRow& row : SelectedRowsOrNotice(SelectFileOrFolder))
        StartViewerOrReconfigure(FullPath(row.name));
}

void TLocalFileOps::aLocalMkDirExecute()
{
    const QString dir = pane_.currentDirectory();
    TFileDlg dialog(&host_.owner);
    dialog.Prepare(QStringLiteral("新規ディレクトリの作成"), QStringLiteral("現在のローカルディレクトリ　") + dir,
                   QStringLiteral("新規ディレクトリ名：　"), QStringLiteral("NewDir"));
    if (Dialogs().RunModal(dialog) != QDialog::Accepted)
        return;
    const QString path = LocalEntryPath(dir, dialog.NewEdit()->text());
    if (Dialogs().Ask(path + QStringLiteral("を作成しますか？"), Buttons::YesNo) != Answer::Yes)
        return;
    if (CreateDirectoryEntry(Native(path)))
        Log(host_.fileOperationLog, QStringLiteral("CreateDir"), path);
    pane_.readDirectoryTree();
}

TLocalFileOps::TStep TLocalFileOps::ConfirmAndRename(const QString& name, const QString& newName, bool& changed) const
{
    switch (Dialogs().Ask(name + QStringLiteral("を\n") + newName + QStringLiteral("\nに変更しますか?"),
                          Buttons::YesNoCancel)) {
    case Answer::Yes:
        changed = true;
        if (RenameEntryKeepingTarget(Native(FullPath(name)), Native(FullPath(newName))))
            Log(host_.fileOperationLog, QStringLiteral("Rename"), name, QStringLiteral("-->"), newName);
        return TStep::Next;
    case Answer::No:
        return TStep::Next;
    default:
        return TStep::Stop;
    }
}

void TLocalFileOps::aLocalRenameExecute()
{
    const QList<TLocalRow> rows = SelectedRowsOrNotice(SelectFile);
    if (rows.isEmpty())
        return;
    TFileDlg dialog(&host_.owner);
    bool changed = false;
    for (const TLocalRow& row : rows) {
        if (row.folder)
            dialog.Prepare(QStringLiteral("ディレクトリ名の変更"), QStringLiteral("選択中のディレクトリ ") + row.name,
                           QStringLiteral("新規ディレクトリ名：　"), row.name);
        else
            dialog.Prepare(QStringLiteral("ファイル名の変更"), QStringLiteral("選択中のファイル： ") + row.name,
                           QStringLiteral("新規ファイル名：　"), row.name);
        if (Dialogs().RunModal(dialog) != QDialog::Accepted ||
            ConfirmAndRename(row.name, dialog.NewEdit()->text(), changed) == TStep::Stop)
            break;
    }
    if (changed)
        pane_.fillLocalFileList();
}

void TLocalFileOps::aLocalExtModifyExecute()
{
    const QList<TLocalRow> rows = SelectedRowsOrNotice(SelectFile);
    if (rows.isEmpty())
        return;
    QString ext;
    {
        TFileDlg dialog(&host_.owner);
        dialog.Prepare(QStringLiteral("拡張子の変更"), QString(), QStringLiteral("変更後の拡張子："),
                       QStringLiteral(".XXX"));
        if (Dialogs().RunModal(dialog) != QDialog::Accepted)
            return;
        ext = dialog.NewEdit()->text();
    }
    bool changed = false;
    for (const TLocalRow& row : rows) {
        if (!row.folder && ConfirmAndRename(row.name, ExtensionChangedName(row.name, ext), changed) == TStep::Stop)
            break;
    }
    if (changed)
        pane_.fillLocalFileList();
}

void TLocalFileOps::ChangeCase(const QString& questionTail, QString (*transform)(const QString&))
{
    bool changed = false;
    for (const TLocalRow& row : SelectedRowsOrNotice(SelectFile)) {
        const Answer answer = Dialogs().Ask(row.name + questionTail, Buttons::YesNoCancel);
        if (answer == Answer::No)
            continue;
        if (answer != Answer::Yes)
            break;
        changed = true;
        const QString newName = transform(row.name);
        if (RenameEntryKeepingTarget(Native(FullPath(row.name)), Native(FullPath(newName))))
            Log(host_.fileOperationLog, QStringLiteral("Rename"), row.name, QStringLiteral("-->"), newName);
    }
    if (changed)
        pane_.fillLocalFileList();
}

void TLocalFileOps::aLocalUpperCaseExecute()
{
    ChangeCase(QStringLiteral("を\nすべて大文字に変換しますか?"), UpperCaseName);
}

void TLocalFileOps::aLocalLowerCaseExecute()
{
    ChangeCase(QStringLiteral("を\nすべて小文字に変換しますか?"), LowerCaseName);
}

void TLocalFileOps::aLocalFileDeleteExecute()
{
    const QList<TLocalRow> rows = SelectedRowsOrNotice(SelectFileOrFolder);
    if (rows.isEmpty())
        return;
    if (Dialogs().Ask(QStringLiteral("選択中のファイルとディレクトリを一括して削除しますか？"
                                     "\nただし、ディレクトリの場合は中身が空でないと削除できません!!"),
                      Buttons::YesNo, Icon::Exclamation) != Answer::Yes)
        return;
    if (Dialogs().Ask(QStringLiteral("削除したファイルは元に戻せませんがよろしいですか？"), Buttons::YesNo, Icon::Stop) !=
        Answer::Yes)
        return;
    for (const TLocalRow& row : rows) {
        const QString path = FullPath(row.name);
        if (row.folder) {
            if (RemoveEmptyDirectory(Native(path)))
                Log(host_.fileOperationLog, QStringLiteral("RemoveDir"), path);
        } else if (RemoveFileEntry(Native(path))) {
            Log(host_.fileOperationLog, QStringLiteral("Delete"), path);
        }
    }
    pane_.fillLocalFileList();
}

void TLocalFileOps::aLocalDetailExecute()
{
    const QString tmp = LocalEntryPath(host_.appDir, QStringLiteral("tmp.txt"));
    WriteDetailedListing(pane_.currentDirectory(), tmp);
    StartViewerOrReconfigure(tmp);
}

void TLocalFileOps::EnableActions(const TEnablingFacts& facts, const TActionSwitch& actions)
{
    actions.Enable({"aLocalFileOpen", "aLocalFileView"}, facts.local == TSelectedKind::File);
    actions.Enable({"aLocalFileName", "aLocalFileDelete"}, facts.local != TSelectedKind::None);
}
