#include "fileops/RemoteFileOps.h"

#include "fileops/CommandDlg.h"
#include "panes/LocalPaths.h"
#include "ftp/IdException.h"
#include "ftp/IdFTP.h"
#include "log/FileOperationLog.h"
#include "panes/RemoteNames.h"
#include "platform/AtomicFile.h"
#include "platform/ProgramDir.h"
#include "settings/UserDialogs.h"
#include "settings/WindowSettings.h"
#include "settings/WindowState.h"

#include <QDir>
#include <QFile>

#include <functional>

namespace {

using TNotice = TFileOpSteps::TNotice;

std::string Bytes(const QByteArray& bytes)
{
    return bytes.toStdString();
}

}  // namespace

TRemoteFileOps::TRemoteFileOps(Sources sources)
    : sources_(std::move(sources)), steps_(sources_.owner, sources_.dialogs), viewFolder_(sources_.appDir)
{
}

QList<TFileOpRow> TRemoteFileOps::SelectedRowsOrNotice(TNotice notice) const
{
    QList<TFileOpRow> rows = sources_.selectedRows();
    steps_.NoticeIfEmpty(rows, notice);
    return rows;
}

void TRemoteFileOps::Log(const QString& operation, const QString& first, const QString& direction,
                         const QString& second) const
{
    sources_.fileOperationLog.AppendFileOperationLog(operation, first, direction, second);
}

void TRemoteFileOps::StartViewerOrReconfigure(const QString& path) const
{
    steps_.StartViewerOrReconfigure(sources_.options.asApplication, path, sources_.aOptionExecute);
}

void TRemoteFileOps::aRemoteFileViewExecute()
{
    QList<TFileOpRow> rows = SelectedRowsOrNotice(TNotice::SelectFileOrFolder);
    rows.removeIf([this](const TFileOpRow& row) { return sources_.skipUnsafeLocalName(row.name); });
    if (rows.isEmpty())
        return;
    const QDir folder(viewFolder_.NewCommandFolder());
    // Every download first, then the viewers, so that none waits for a viewer to start.
    QStringList arrived;
    for (const TFileOpRow& row : rows)
        if (DownloadForViewing(row, folder.filePath(row.name)))
            arrived << folder.filePath(row.name);
    for (const QString& path : arrived)
        StartViewerOrReconfigure(path);
}

bool TRemoteFileOps::DownloadForViewing(const TFileOpRow& row, const QString& localPath)
{
    TIdFTP& engine = sources_.engine;
    bool arrived = false;
    sources_.enterBusyState();
    try {
        sources_.transfer.ExpectedSize = row.listedSize ? *row.listedSize : engine.FileSize(Bytes(row.nameBytes));
        engine.Get(Bytes(row.nameBytes), NativePath(localPath), true, false);
        arrived = true;
    } catch (...) {
        // A file that did not arrive is not shown; what came of a broken download would show
        // a cut-off file as if it were whole.
        QFile::remove(localPath);
    }
    sources_.leaveBusyState();
    return arrived;
}

void TRemoteFileOps::aRemoteMkDirExecute()
{
    const std::optional<QString> name =
        steps_.AskNewDirectoryName(QStringLiteral("現在のリモートディレクトリ　") + sources_.remoteDirectory());
    if (!name || !steps_.ConfirmCreateDirectory(*name))
        return;
    sources_.engine.MakeDirectory(ServerName(sources_.engine.NameCodec, *name));
    sources_.remoteRefresh();
}

void TRemoteFileOps::RenameOnServer(const TFileOpRow& row, const QString& newName) const
{
    // The engine would refuse RNTO only after RNFR had gone out.
    if (newName.contains(u'\r') || newName.contains(u'\n'))
        throw EIdLineBreakInCommand();
    // Refused before RNFR when the new name cannot be sent.
    const std::string newBytes = ServerName(sources_.engine.NameCodec, newName);
    sources_.engine.RenameFile(Bytes(row.nameBytes), newBytes);
    Log(QStringLiteral("Rename"), sources_.remoteSpec(row.name), QStringLiteral("-->"), sources_.remoteSpec(newName));
}

void TRemoteFileOps::aRemoteRenameExecute()
{
    const QList<TFileOpRow> rows = SelectedRowsOrNotice(TNotice::SelectFile);
    if (!rows.isEmpty() && steps_.RenameRows(rows, false, std::bind_front(&TRemoteFileOps::RenameOnServer, this)))
        sources_.remoteRefresh();
}

QList<TFileOpRow> TRemoteFileOps::FileRowsWithKnownNames(TNotice notice) const
{
    QList<TFileOpRow> rows = SelectedRowsOrNotice(notice);
    const TNameCodec& codec = sources_.engine.NameCodec;
    rows.removeIf([&codec](const TFileOpRow& row) {
        return row.folder || codec.TryServerName(row.name.toStdString()) != row.nameBytes.toStdString();
    });
    return rows;
}

void TRemoteFileOps::aRemoteExtModifyExecute()
{
    const QList<TFileOpRow> rows = FileRowsWithKnownNames(TNotice::SelectFile);
    if (!rows.isEmpty() && steps_.ChangeExtensions(rows, std::bind_front(&TRemoteFileOps::RenameOnServer, this)))
        sources_.remoteRefresh();
}

void TRemoteFileOps::ChangeCase(TLetterCase letterCase)
{
    if (steps_.ChangeCase(FileRowsWithKnownNames(TNotice::SelectFile), letterCase,
                          std::bind_front(&TRemoteFileOps::RenameOnServer, this)))
        sources_.remoteRefresh();
}

void TRemoteFileOps::aRemoteUpperCaseExecute()
{
    ChangeCase(TLetterCase::Upper);
}

void TRemoteFileOps::aRemoteLowerCaseExecute()
{
    ChangeCase(TLetterCase::Lower);
}

void TRemoteFileOps::aRemoteFileDeleteExecute()
{
    const QList<TFileOpRow> rows = SelectedRowsOrNotice(TNotice::SelectFileOrFolder);
    if (rows.isEmpty() || !steps_.ConfirmDelete())
        return;
    for (const TFileOpRow& row : rows) {
        if (row.folder) {
            sources_.engine.RemoveDirectory(Bytes(row.nameBytes));
            Log(QStringLiteral("RemoveDir"), sources_.remoteSpec(row.name));
        } else {
            sources_.engine.DeleteFile(Bytes(row.nameBytes));
            Log(QStringLiteral("Delete"), sources_.remoteSpec(row.name));
        }
    }
    sources_.remoteRefresh();
}

void TRemoteFileOps::SendSiteLine(const QString& line) const
{
    sources_.engine.SiteCommand(ServerName(sources_.engine.NameCodec, line));
    Log(line, QString());
}

void TRemoteFileOps::aChmodExecute()
{
    QStringList names;
    for (const TFileOpRow& row : sources_.selectedRows())
        names << row.name;
    TCommandDlg dialog(&sources_.owner, {names, std::bind_front(&TRemoteFileOps::SendSiteLine, this),
                                         sources_.remoteRefresh});
    sources_.dialogs.RunModal(dialog);
    if (dialog.Failure())
        std::rethrow_exception(dialog.Failure());
}

void TRemoteFileOps::aRemoteDetailExecute()
{
    const QString path = QDir(viewFolder_.NewCommandFolder()).filePath(QString::fromLatin1(ProgramFile::DetailListing));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw EFileWriteError(NativePath(path));
    // Users read LIST's lines; a machine listing is for the program.
    if (sources_.engine.MachineListing()) {
        sources_.enterBusyState();
        sources_.engine.List(nullptr);
    }
    for (const std::string_view line : sources_.engine.ListLines) {
        file.write(line.data(), qint64(line.size()));
        file.write("\n", 1);
    }
    if (!file.flush())
        throw EFileWriteError(NativePath(path));
    file.close();
    StartViewerOrReconfigure(path);
}

void TRemoteFileOps::EnableActions(const TEnablingFacts& facts, const TActionSwitch& actions)
{
    actions.Enable({"aRemoteMkDir", "aRemoteDetail", "aChmod"}, facts.connected);
    actions.Enable({"aRemoteFileView", "aRemoteFileName"}, facts.remote == TSelectedKind::File);
    actions.Enable({"aRemoteFileDelete"}, facts.remote != TSelectedKind::None);
}
