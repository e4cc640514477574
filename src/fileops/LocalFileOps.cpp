#include "fileops/LocalFileOps.h"

#include "fileops/DetailedListing.h"
#include "log/FileOperationLog.h"
#include "platform/LocalEntries.h"
#include "service/LocalPaths.h"
#include "settings/WindowSettings.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

#include <functional>

namespace {

using TNotice = TFileOpSteps::TNotice;

// A listed name whose bytes were not valid in the local encoding cannot be turned back into
// the same bytes: acting on its decoded form could reach another entry. It is left alone, as a
// name the file system refuses.
bool Decodable(const TFileOpRow& row)
{
    return !row.name.contains(QChar::ReplacementCharacter);
}

void Log(TFileOperationLog& log, const QString& operation, const QString& first,
         const QString& direction = {}, const QString& second = {})
{
    log.AppendFileOperationLog(operation, first, direction, second);
}

}  // namespace

TLocalFileOps::TLocalFileOps(TLocalFileOpsHost host, TLocalPaneAccess pane)
    : host_(std::move(host)), pane_(std::move(pane)), steps_(host_.owner, host_.dialogs)
{
}

QString TLocalFileOps::FullPath(const QString& name) const
{
    return LocalEntryPath(pane_.currentDirectory(), name);
}

QList<TFileOpRow> TLocalFileOps::SelectedRowsOrNotice(TNotice notice) const
{
    QList<TFileOpRow> rows = pane_.selectedRows();
    steps_.NoticeIfEmpty(rows, notice);
    rows.removeIf([](const TFileOpRow& row) { return !Decodable(row); });
    return rows;
}

void TLocalFileOps::StartViewerOrReconfigure(const QString& path) const
{
    steps_.StartViewerOrReconfigure(host_.options.asApplication, path, host_.aOptionExecute);
}

TTask<> TLocalFileOps::RenameLocally(const TFileOpRow& row, const QString& newName) const
{
    if (RenameEntryKeepingTarget(NativePath(FullPath(row.name)), NativePath(FullPath(newName))))
        Log(host_.fileOperationLog, QStringLiteral("Rename"), row.name, QStringLiteral("-->"), newName);
    co_return;
}

void TLocalFileOps::aLocalFileOpenExecute()
{
    for (const TFileOpRow& row : SelectedRowsOrNotice(TNotice::SelectFileOrFolder))
        QDesktopServices::openUrl(QUrl::fromLocalFile(FullPath(row.name)));
}

void TLocalFileOps::aLocalFileViewExecute()
{
    for (const TFileOpRow& row : SelectedRowsOrNotice(TNotice::SelectFileOrFolder))
        StartViewerOrReconfigure(FullPath(row.name));
}

void TLocalFileOps::aLocalMkDirExecute()
{
    const QString dir = pane_.currentDirectory();
    const std::optional<QString> name = steps_.AskNewDirectoryName(QStringLiteral("現在のローカルディレクトリ　") + dir);
    if (!name)
        return;
    const QString path = LocalEntryPath(dir, *name);
    if (!steps_.ConfirmCreateDirectory(path))
        return;
    if (CreateDirectoryEntry(NativePath(path)))
        Log(host_.fileOperationLog, QStringLiteral("CreateDir"), path);
    pane_.readDirectoryTree();
}

void TLocalFileOps::aLocalRenameExecute()
{
    const QList<TFileOpRow> rows = SelectedRowsOrNotice(TNotice::SelectFile);
    if (!rows.isEmpty())
        Launch(RelistAfter(steps_.RenameRows(rows, true, std::bind_front(&TLocalFileOps::RenameLocally, this))));
}

void TLocalFileOps::aLocalExtModifyExecute()
{
    const QList<TFileOpRow> rows = SelectedRowsOrNotice(TNotice::SelectFile);
    if (!rows.isEmpty())
        Launch(RelistAfter(steps_.ChangeExtensions(rows, std::bind_front(&TLocalFileOps::RenameLocally, this))));
}

void TLocalFileOps::ChangeCase(TLetterCase letterCase)
{
    Launch(RelistAfter(steps_.ChangeCase(SelectedRowsOrNotice(TNotice::SelectFile), letterCase,
                                         std::bind_front(&TLocalFileOps::RenameLocally, this))));
}

TTask<> TLocalFileOps::RelistAfter(TTask<bool> renames)
{
    const bool renamed = co_await renames;
    if (renamed)
        pane_.fillLocalFileList();
}

void TLocalFileOps::aLocalUpperCaseExecute()
{
    ChangeCase(TLetterCase::Upper);
}

void TLocalFileOps::aLocalLowerCaseExecute()
{
    ChangeCase(TLetterCase::Lower);
}

void TLocalFileOps::aLocalFileDeleteExecute()
{
    const QList<TFileOpRow> rows = SelectedRowsOrNotice(TNotice::SelectFileOrFolder);
    if (rows.isEmpty() || !steps_.ConfirmDelete())
        return;
    for (const TFileOpRow& row : rows) {
        const QString path = FullPath(row.name);
        if (row.folder) {
            if (RemoveEmptyDirectory(NativePath(path)))
                Log(host_.fileOperationLog, QStringLiteral("RemoveDir"), path);
        } else if (RemoveFileEntry(NativePath(path))) {
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
