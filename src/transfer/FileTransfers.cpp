#include "transfer/FileTransfers.h"

#include "ftp/IdException.h"
#include "ftp/IdFTP.h"
#include "log/ErrorLine.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "panes/PaneTime.h"
#include "service/LocalNames.h"
#include "service/LocalPaths.h"
#include "service/RemoteNames.h"
#include "platform/DirectoryScan.h"
#include "platform/LocalEntries.h"
#include "service/SessionService.h"
#include "settings/UserDialogs.h"
#include "transfer/TransferNames.h"
#include "transfer/TransferProgress.h"
#include "transfer/TransferRules.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QTreeView>

namespace {

const QString NoSelectionText = QStringLiteral("ファイルかフォルダーを選択してください");
const QString AbortedText = QStringLiteral("転送を中止しました。");
const QString OnlyThisFolderText =
    QStringLiteral("\nその他のファイル・フォルダを選択していても、このフォルダーのみの転送となります。");

bool AnyRowSelected(const TFileViewStack& list)
{
    return list.Report().selectionModel()->hasSelection();
}

}  // namespace

TFileTransfers::TFileTransfers(Sources sources) : sources_(std::move(sources)) {}

void TFileTransfers::EnableActions(const TEnablingFacts& facts, const TActionSwitch& actions)
{
    actions.Enable({"aUploadAll", "aTransformAndUploadAll", "aDownloadAll"}, facts.connected);

    const bool localRow = facts.local != TSelectedKind::None;
    actions.Enable({"aUpload", "aTransformAndUpload"}, localRow && facts.connected);
    actions.Enable({"aUploadAppend"}, facts.local == TSelectedKind::File && facts.connected);

    // aTransformAndDownload follows aDownload, as on the local side.
    actions.Enable({"aDownload", "aDownloadRestore", "aTransformAndDownload"}, facts.remote != TSelectedKind::None);
}

// Commands on the selected rows.

void TFileTransfers::aUploadExecute()
{
    UploadSelectedRows(false);
}

void TFileTransfers::aUploadAppendExecute()
{
    UploadSelectedRows(true);
}

void TFileTransfers::UploadSelectedRows(bool append)
{
    WalkSelectedRows(
        sources_.localList,
        [this, append](const TFileRow& row) {
            if (row.icon != fiFolder) {
                UploadFile(row, append, PaneFolders());
                return true;
            }
            return OfferFolder(row.caption + QStringLiteral("\nをサブディレクトリも含めて\n") +
                                   sources_.remoteDirBox.currentText() + QStringLiteral("\nにアップロードしますか？"),
                               sources_.uploadFolder, row.caption);
        },
        sources_.remoteRefresh);
}

void TFileTransfers::aDownloadExecute()
{
    WalkSelectedRows(
        sources_.remoteList,
        [this](const TFileRow& row) {
            if (row.icon != fiFolder) {
                DownloadFile(row, PaneFolders());
                return true;
            }
            if (SkippedAsUnsafe(row.caption))
                return true;
            return OfferFolder(row.caption + QStringLiteral("\nをサブディレクトリを含めて\n") +
                                   sources_.localDirBox.currentText() + QStringLiteral("\nにダウンロードしますか？"),
                               sources_.downloadFolder, row.caption);
        },
        sources_.fillLocalFileList);
}

void TFileTransfers::aDownloadRestoreExecute()
{
    if (!AnyRowSelected(sources_.remoteList)) {
        sources_.dialogs.ShowMessage(NoSelectionText);
        return;
    }
    if (!sources_.service.Run([](TIdFTP& engine) { return engine.ResumeSupported(); }))
        return;
    WalkSelectedRows(
        sources_.remoteList,
        [this](const TFileRow& row) {
            if (row.icon != fiFolder)
                ResumeDownload(row, PaneFolders());
            return true;
        },
        sources_.fillLocalFileList);
}

bool TFileTransfers::OfferFolder(const QString& question, const TFolderTransfer& transferFolder, const QString& name)
{
    switch (sources_.dialogs.Ask(question + OnlyThisFolderText, TUserDialogs::Buttons::YesNoCancel)) {
    case TUserDialogs::Answer::Yes:
        sources_.progress.ShowProgressWindow();
        transferFolder(name);
        return true;
    case TUserDialogs::Answer::No:
        return true;
    default:
        return false;
    }
}

void TFileTransfers::WalkSelectedRows(TFileViewStack& list, const std::function<bool(const TFileRow&)>& visit,
                                      const std::function<void()>& relist)
{
    if (!AnyRowSelected(list)) {
        sources_.dialogs.ShowMessage(NoSelectionText);
        return;
    }
    RunTransferCommand(
        [&] {
            const QItemSelectionModel& selection = *list.Report().selectionModel();
            // A folder transfer re-lists the panes, so the count is read on every pass.
            for (int index = 0; index < list.Model().rowCount(); ++index) {
                if (StoppedByAbort())
                    break;
                if (!selection.isRowSelected(index))
                    continue;
                const TFileRow row = list.Model().Row(index);
                if (!visit(row))
                    break;
            }
        },
        relist);
}

bool TFileTransfers::StoppedByAbort()
{
    if (!sources_.transfer.AbortRequested)
        return false;
    sources_.leaveBusyState();
    sources_.dialogs.ShowMessage(AbortedText);
    return true;
}

void TFileTransfers::RunTransferCommand(const std::function<void()>& body, const std::function<void()>& relist)
{
    sources_.transfer.AbortRequested = false;
    writtenLocalPaths_.clear();
    if (sources_.options.bShowTransactionDlg)
        sources_.progress.CreateProgressWindow();
    sources_.holdPanes(true);
    std::exception_ptr escaped;
    try {
        body();
    } catch (...) {
        escaped = std::current_exception();
    }
    sources_.holdPanes(false);
    sources_.progress.DestroyProgressWindow();
    if (!escaped) {
        relist();
        return;
    }
    // The folder transfer's error is the one the application handler reports.
    try {
        relist();
    } catch (...) {
    }
    std::rethrow_exception(escaped);
}

// Whole directories.

void TFileTransfers::aUploadAllExecute()
{
    TransferWholeDirectory(sources_.localDirBox.currentText() + QStringLiteral("\nをすべて\n") +
                               sources_.remoteDirBox.currentText() + QStringLiteral("\nにアップロードしますか？"),
                           sources_.uploadFolder, sources_.remoteRefresh);
}

void TFileTransfers::aDownloadAllExecute()
{
    TransferWholeDirectory(sources_.remoteDirBox.currentText() + QStringLiteral("\nをすべて\n") +
                               sources_.localDirBox.currentText() + QStringLiteral("\nにダウンロードしますか？"),
                           sources_.downloadFolder, sources_.localRefresh);
}

void TFileTransfers::TransferWholeDirectory(const QString& question, const TFolderTransfer& transferFolder,
                                            const std::function<void()>& relist)
{
    if (sources_.dialogs.Ask(question, TUserDialogs::Buttons::YesNoCancel) != TUserDialogs::Answer::Yes)
        return;
    RunTransferCommand(
        [&] {
            sources_.progress.ShowProgressWindow();
            transferFolder(QString());
        },
        relist);
}

void TFileTransfers::RunWithNameTransform(int transform, const std::function<void()>& command)
{
    const std::optional<int> saved = nameTransformOverride_;
    nameTransformOverride_ = transform;
    try {
        command();
    } catch (...) {
        nameTransformOverride_ = saved;
        throw;
    }
    nameTransformOverride_ = saved;
}

// Single files, shared with the folder transfers.

bool TFileTransfers::IsBinaryTransfer(const QString& name) const
{
    return ::IsBinaryTransfer(sources_.transferMode(), sources_.extensions.TextExtList, name);
}

QString TFileTransfers::TransformName(const QString& name) const
{
    return ::TransformName(nameTransformOverride_.value_or(sources_.options.iFileNameAfterTransfer), name);
}

QString TFileTransfers::RemoteSpec(const TWalkFolders& folders, const QString& name) const
{
    return ::RemoteSpec(sources_.profileNameBox.currentText(), folders.remoteShown, name);
}

TWalkFolders TFileTransfers::PaneFolders() const
{
    return {.local = sources_.localFolder(), .remote = {}, .remoteShown = sources_.remoteDirBox.currentText()};
}

bool TFileTransfers::UploadFile(const TFileRow& row, bool append, const TWalkFolders& folders)
{
    const QString& name = row.caption;
    if (SkippedAsSpecialFile(name, folders))
        return false;
    const QString localPath = LocalEntryPath(folders.local, name);
    const bool sent = TransferOneFile(
        name, append ? "UploadAppending" : "Uploading",
        append ? QStringLiteral(" モードでアップロード追加中...") : QStringLiteral(" モードでアップロード中..."),
        [&](TIdFTPTransferType type) {
            const std::string remoteName = ServerName(sources_.service.NameCodec(), TransformName(name));
            // The local file's size is what goes out: no SIZE to the server for it.
            sources_.transfer.ExpectedSize = QFileInfo(localPath).size();
            sources_.service.Run([&, localFile = NativePath(localPath)](TIdFTP& engine) {
                engine.SetTransferType(type);
                engine.Put(localFile, remoteName, append);
                if (!append)
                    KeepTimeOnServer(engine, row, remoteName);
            });
        });
    if (sent)
        RunFileGuarded([&] {
            sources_.appendFileOperationLog(QStringLiteral("Upload"), localPath, QStringLiteral("-->"),
                                            RemoteSpec(folders, TransformName(name)));
        });
    return sent;
}

bool TFileTransfers::DownloadFile(const TFileRow& row, const TWalkFolders& folders)
{
    if (SkippedAsUnsafe(row.caption))
        return false;
    const QString localName = TransformName(row.caption);
    const QString localPath = LocalEntryPath(folders.local, localName);
    if (SkippedAsSpecialFile(localName, folders) || SkippedAsWrittenBefore(row.caption, localPath))
        return false;
    return TransferOneFile(row.caption, "Downloading", QStringLiteral(" モードでダウンロード中..."),
                           [&](TIdFTPTransferType type) {
                               sources_.service.Run([&, localFile = NativePath(localPath)](TIdFTP& engine) {
                                   engine.SetTransferType(type);
                                   PostExpectedSize(ListedOrServerSize(engine, row));
                                   engine.Get(row.nameBytes.toStdString(), localFile, true, false);
                               });
                           }) &&
           FinishDownload(row, localName, folders);
}

void TFileTransfers::ResumeDownload(const TFileRow& row, const TWalkFolders& folders)
{
    if (SkippedAsUnsafe(row.caption))
        return;
    const QString localName = TransformName(row.caption);
    const QString localPath = LocalEntryPath(folders.local, localName);
    if (SkippedAsSpecialFile(localName, folders) || SkippedAsWrittenBefore(row.caption, localPath))
        return;
    const bool received = TransferOneFile(
        row.caption, "DownloadRestoring", QStringLiteral(" モードでダウンロード修復中..."), [&](TIdFTPTransferType type) {
            const QFileInfo local(localPath);
            const std::int64_t localLength = local.exists() ? local.size() : 0;
            sources_.service.Run([&, localFile = NativePath(localPath)](TIdFTP& engine) {
                engine.SetTransferType(type);
                const std::int64_t missing = ListedOrServerSize(engine, row) - localLength;
                PostExpectedSize(missing);
                // A local file already whole is left as it is.
                if (localLength == 0 || missing > 0)
                    engine.Get(row.nameBytes.toStdString(), localFile, localLength == 0, localLength > 0);
            });
        });
    if (received)
        FinishDownload(row, localName, folders);
}

void TFileTransfers::PostExpectedSize(std::int64_t size)
{
    // Posted before the data's work events, which read it.
    sources_.service.Post([this, size] { sources_.transfer.ExpectedSize = size; });
}

bool TFileTransfers::FinishDownload(const TFileRow& row, const QString& localName, const TWalkFolders& folders)
{
    RunFileGuarded([&] {
        const QString localPath = LocalEntryPath(folders.local, localName);
        sources_.appendFileOperationLog(QStringLiteral("Download"), localPath, QStringLiteral("<--"),
                                        RemoteSpec(folders, row.caption));
        if (sources_.options.bRetrieveRemoteTimeStamp)
            TakeRemoteTime(row, localPath);
    });
    return true;
}

std::int64_t TFileTransfers::ListedOrServerSize(TIdFTP& engine, const TFileRow& row)
{
    return row.listedSize ? *row.listedSize : engine.FileSize(row.nameBytes.toStdString());
}

void TFileTransfers::TakeRemoteTime(const TFileRow& row, const QString& localPath) const
{
    // The exact UTC time where the listing or the server gives one; else the shown text.
    std::optional<std::int64_t> time = row.exactTime;
    if (!time)
        time = sources_.service.Run(
            [name = row.nameBytes.toStdString()](TIdFTP& engine) { return engine.ModificationTime(name); });
    // A listing without a time leaves the file's own.
    if (!time && row.subItems[1].isEmpty())
        return;
    if (!time)
        time = PaneTimeValue(row.subItems[1]).toSecsSinceEpoch();
    if (!SetModificationTime(NativePath(localPath), std::time_t(*time)))
        throw std::runtime_error(QStringLiteral("%1 の更新日時を設定できません").arg(QFileInfo(localPath).fileName()).toStdString());
}

void TFileTransfers::KeepTimeOnServer(TIdFTP& engine, const TFileRow& row, const std::string& remoteName)
{
    // Only where the listings read it back to the second: a time the comparison then sees at
    // the minute, in the server's unknown zone, would not make it exact.
    if (row.exactTime && engine.ListsByMlsd() && engine.CanSetModificationTime())
        engine.SetModificationTime(remoteName, *row.exactTime);
}

bool TFileTransfers::SkippedAsUnsafe(const QString& remoteName)
{
    if (!UnsafeLocalName(remoteName))
        return false;
    sources_.appendLogLine(UnsafeNameSkippedLine(remoteName));
    return true;
}

bool TFileTransfers::SkippedAsSpecialFile(const QString& localName, const TWalkFolders& folders)
{
    const QString path = LocalEntryPath(folders.local, localName);
    if (!IsSpecialFile(NativePath(path)))
        return false;
    sources_.appendLogLine(QStringLiteral("通常のファイルではないため飛ばしました: ") + path);
    return true;
}

bool TFileTransfers::SkippedAsWrittenBefore(const QString& remoteName, const QString& path)
{
    if (!writtenLocalPaths_.contains(path)) {
        writtenLocalPaths_.insert(path);
        return false;
    }
    sources_.appendLogLine(QStringLiteral("%1 にはこの転送で別のファイルを書き込んだため、%2 を飛ばしました").arg(path, remoteName));
    return true;
}

bool TFileTransfers::TransferOneFile(const QString& name, const char* panelVerb, const QString& progressVerb,
                                     const std::function<void(TIdFTPTransferType)>& moveData)
{
    TTransferState& transfer = sources_.transfer;
    sources_.enterBusyState();
    transfer.TransferCompleted = false;
    sources_.progress.ShowProgressWindow();
    const bool finished = RunFileGuarded([&] {
        const bool binary = IsBinaryTransfer(name);
        transfer.TransferModeName = binary ? QStringLiteral("Binary") : QStringLiteral("ASCII");
        sources_.setStatusPanel(3, transfer.TransferModeName + QStringLiteral(" mode ") +
                                       QLatin1String(panelVerb) + u' ' + name);
        sources_.progress.UpdateProgressWindow(transfer.TransferModeName + progressVerb, name, QString(), 0);
        moveData(binary ? ftBinary : ftASCII);
    });
    // The end of the data transfer leaves the busy state; a file that failed before its data
    // flowed, or had nothing to move, leaves it here, so the panes do not stay disabled.
    if (!transfer.TransferCompleted)
        sources_.leaveBusyState();
    // A transfer that raised (refused, aborted, dropped) is not logged as done, even when its
    // data channel had already closed.
    return finished && transfer.TransferCompleted;
}

bool TFileTransfers::RunFileGuarded(const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const EIdProtocolReplyError&) {
        // The server's reply is already in the session log.
    } catch (...) {
        sources_.appendLogLine(ErrorLine(std::current_exception()));
    }
    return false;
}
