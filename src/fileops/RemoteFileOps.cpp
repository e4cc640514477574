#include "fileops/RemoteFileOps.h"

#include "fileops/CommandDlg.h"
#include "ftp/IdException.h"
#include "log/FileOperationLog.h"
#include "platform/AtomicFile.h"
#include "platform/ProgramDir.h"
#include "service/LocalPaths.h"
#include "service/RemoteNames.h"
#include "service/SessionService.h"
#include "settings/BusyDisplay.h"
#include "settings/UserDialogs.h"
#include "settings/WindowSettings.h"
#include "settings/WindowState.h"

#include <QDir>
#include <QFile>

#include <functional>
#include <string>
#include <vector>

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
    if (!rows.isEmpty())
        Launch(ViewFiles(rows));
}

TTask<> TRemoteFileOps::ViewFiles(QList<TFileOpRow> rows)
{
    const QDir folder(viewFolder_.NewCommandFolder());
    // Every download first, then the viewers, so that none waits for a viewer to start.
    QStringList arrived;
    for (const TFileOpRow& row : rows) {
        const bool downloaded = co_await DownloadForViewing(row, folder.filePath(row.name));
        if (downloaded)
            arrived << folder.filePath(row.name);
    }
    for (const QString& path : arrived)
        StartViewerOrReconfigure(path);
}

TTask<bool> TRemoteFileOps::DownloadForViewing(const TFileOpRow& row, QString localPath)
{
    TSessionService& service = sources_.service;
    const std::string remoteName = Bytes(row.nameBytes);
    const std::string local = NativePath(localPath);
    bool arrived = false;
    sources_.busy.EnterBusyState();
    try {
        if (row.listedSize)
            sources_.transfer.ExpectedSize = *row.listedSize;
        else
            sources_.transfer.ExpectedSize =
                co_await service.Run([&remoteName](TRemoteEngine& engine) { return engine.FileSize(remoteName); });
        co_await service.Run([&remoteName, &local](TRemoteEngine& engine) {
            engine.Get(remoteName, local, true, false, std::nullopt);
        });
        arrived = true;
    } catch (...) {
        // A file that did not arrive is not shown; what came of a broken download would show
        // a cut-off file as if it were whole.
        QFile::remove(localPath);
    }
    sources_.busy.LeaveBusyState();
    co_return arrived;
}

void TRemoteFileOps::aRemoteMkDirExecute()
{
    const std::optional<QString> name =
        steps_.AskNewDirectoryName(QStringLiteral("現在のリモートディレクトリ　") + sources_.remoteDirectory());
    if (!name || !steps_.ConfirmCreateDirectory(*name))
        return;
    const std::string bytes = ServerName(sources_.service.NameCodec(), *name);
    Launch(MakeDirectory(bytes));
}

TTask<> TRemoteFileOps::MakeDirectory(std::string bytes)
{
    co_await sources_.service.Run([&bytes](TRemoteEngine& engine) { engine.MakeDirectory(bytes); });
    sources_.remoteRefresh();
}

TTask<> TRemoteFileOps::RenameOnServer(TFileOpRow row, QString newName) const
{
    // The engine would refuse RNTO only after RNFR had gone out.
    if (newName.contains(u'\r') || newName.contains(u'\n'))
        throw EIdLineBreakInCommand();
    // Refused before RNFR when the new name cannot be sent.
    const std::string newBytes = ServerName(sources_.service.NameCodec(), newName);
    co_await sources_.service.Run([&](TRemoteEngine& engine) { engine.RenameFile(Bytes(row.nameBytes), newBytes); });
    Log(QStringLiteral("Rename"), sources_.remoteSpec(row.name), QStringLiteral("-->"), sources_.remoteSpec(newName));
}

TTask<> TRemoteFileOps::RelistAfter(TTask<bool> renames)
{
    const bool renamed = co_await renames;
    if (renamed)
        sources_.remoteRefresh();
}

void TRemoteFileOps::aRemoteRenameExecute()
{
    const QList<TFileOpRow> rows = SelectedRowsOrNotice(TNotice::SelectFile);
    if (!rows.isEmpty())
        Launch(RelistAfter(steps_.RenameRows(rows, false, std::bind_front(&TRemoteFileOps::RenameOnServer, this))));
}

QList<TFileOpRow> TRemoteFileOps::FileRowsWithKnownNames(TNotice notice) const
{
    QList<TFileOpRow> rows = SelectedRowsOrNotice(notice);
    const TNameCodec& codec = sources_.service.NameCodec();
    rows.removeIf([&codec](const TFileOpRow& row) {
        return row.folder || codec.TryServerName(row.name.toStdString()) != row.nameBytes.toStdString();
    });
    return rows;
}

void TRemoteFileOps::aRemoteExtModifyExecute()
{
    const QList<TFileOpRow> rows = FileRowsWithKnownNames(TNotice::SelectFile);
    if (!rows.isEmpty())
        Launch(RelistAfter(steps_.ChangeExtensions(rows, std::bind_front(&TRemoteFileOps::RenameOnServer, this))));
}

void TRemoteFileOps::ChangeCase(TLetterCase letterCase)
{
    Launch(RelistAfter(steps_.ChangeCase(FileRowsWithKnownNames(TNotice::SelectFile), letterCase,
                                         std::bind_front(&TRemoteFileOps::RenameOnServer, this))));
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
    if (!rows.isEmpty() && steps_.ConfirmDelete())
        Launch(DeleteRows(rows));
}

TTask<> TRemoteFileOps::DeleteRows(QList<TFileOpRow> rows)
{
    for (const TFileOpRow& row : rows) {
        const std::string bytes = Bytes(row.nameBytes);
        if (row.folder) {
            co_await sources_.service.Run([&bytes](TRemoteEngine& engine) { engine.RemoveDirectory(bytes); });
            Log(QStringLiteral("RemoveDir"), sources_.remoteSpec(row.name));
        } else {
            co_await sources_.service.Run([&bytes](TRemoteEngine& engine) { engine.DeleteFile(bytes); });
            Log(QStringLiteral("Delete"), sources_.remoteSpec(row.name));
        }
    }
    sources_.remoteRefresh();
}

TTask<> TRemoteFileOps::SendSiteLine(QString line) const
{
    const std::string bytes = ServerName(sources_.service.NameCodec(), line);
    co_await sources_.service.Run([&bytes](TRemoteEngine& engine) { engine.SiteCommand(bytes); });
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
    Launch(ShowDetailedListing());
}

TTask<> TRemoteFileOps::ShowDetailedListing()
{
    const QString path = QDir(viewFolder_.NewCommandFolder()).filePath(QString::fromLatin1(ProgramFile::DetailListing));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw EFileWriteError(NativePath(path));
    // Users read LIST's lines; a machine listing is for the program.
    TSessionService& service = sources_.service;
    const bool unreadable = co_await service.Run([](TRemoteEngine& engine) { return engine.ListingUnreadable(); });
    if (unreadable) {
        sources_.busy.EnterBusyState();
        co_await service.Run([](TRemoteEngine& engine) { engine.ListForReading(); });
    }
    const std::vector<std::string> lines =
        co_await service.Run([](TRemoteEngine& engine) { return engine.ListingLines(); });
    for (const std::string& line : lines) {
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
