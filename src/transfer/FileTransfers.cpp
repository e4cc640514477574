#include "transfer/FileTransfers.h"

#include "ftp/IdException.h"
#include "ftp/IdFTP.h"
#include "ftp/IdVerification.h"
#include "log/ErrorLine.h"
#include "log/FileOperationLog.h"
#include "log/SessionLog.h"
#include "platform/DirectoryScan.h"
#include "platform/LocalEntries.h"
#include "service/KeptTimes.h"
#include "service/LocalNames.h"
#include "service/LocalPaths.h"
#include "service/RemoteNames.h"
#include "service/SessionService.h"
#include "settings/BusyDisplay.h"
#include "settings/UserDialogs.h"
#include "transfer/TransferNames.h"
#include "transfer/TransferPanes.h"
#include "transfer/TransferProgress.h"
#include "transfer/TransferRules.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString NoSelectionText = QStringLiteral("ファイルかフォルダーを選択してください");
const QString AbortedText = QStringLiteral("転送を中止しました。");
const QString OnlyThisFolderText =
    QStringLiteral("\nその他のファイル・フォルダを選択していても、このフォルダーのみの転送となります。");

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

std::function<void()> TFileTransfers::RemoteRefresh() const
{
    return [&panes = sources_.panes] { panes.RefreshRemote(); };
}

std::function<void()> TFileTransfers::LocalRefresh() const
{
    return [&panes = sources_.panes] { panes.RefreshLocal(); };
}

std::function<void()> TFileTransfers::LocalFill() const
{
    return [&panes = sources_.panes] { panes.FillLocalList(); };
}

// Commands on the selected rows.

void TFileTransfers::aUploadExecute(std::optional<int> transform)
{
    Launch(WalkSelectedRows(sources_.panes.SelectedLocalRows(), transform,
                            std::bind_front(&TFileTransfers::UploadRow, this, false), RemoteRefresh()));
}

void TFileTransfers::aUploadAppendExecute()
{
    Launch(WalkSelectedRows(sources_.panes.SelectedLocalRows(), {},
                            std::bind_front(&TFileTransfers::UploadRow, this, true), RemoteRefresh()));
}

void TFileTransfers::aDownloadExecute(std::optional<int> transform)
{
    Launch(WalkSelectedRows(sources_.panes.SelectedRemoteRows(), transform,
                            std::bind_front(&TFileTransfers::DownloadRow, this), LocalFill()));
}

void TFileTransfers::aDownloadRestoreExecute()
{
    std::vector<TFileEntry> files = sources_.panes.SelectedRemoteRows();
    if (files.empty()) {
        sources_.dialogs.ShowMessage(NoSelectionText);
        return;
    }
    Launch(ResumeSelectedRows(std::move(files)));
}

TTask<> TFileTransfers::ResumeSelectedRows(std::vector<TFileEntry> files)
{
    const bool resumable = co_await sources_.service.Run([](TRemoteEngine& engine) { return engine.ResumeSupported(); });
    if (resumable)
        co_await WalkSelectedRows(std::move(files), {}, std::bind_front(&TFileTransfers::ResumeRow, this), LocalFill());
}

TTask<bool> TFileTransfers::UploadRow(bool append, TFileEntry file)
{
    if (!file.IsFolder() && Parallel()) {
        const TQueuedMode mode = append ? TQueuedMode::Append : TQueuedMode::Whole;
        co_await QueueRow(true, mode, std::move(file));
        co_return true;
    }
    if (!file.IsFolder()) {
        co_await OnEngine([&](const TWalkFolders& folders, TFileStepSide& side) {
            UploadFile(file, append, folders, side);
        });
        co_return true;
    }
    const bool goOn = co_await OfferFolder(file.name + QStringLiteral("\nをサブディレクトリも含めて\n") +
                                               sources_.panes.RemoteDirText() +
                                               QStringLiteral("\nにアップロードしますか？"),
                                           sources_.uploadFolder, file.name);
    co_return goOn;
}

TTask<bool> TFileTransfers::DownloadRow(TFileEntry file)
{
    if (!file.IsFolder() && Parallel()) {
        co_await QueueRow(false, TQueuedMode::Whole, std::move(file));
    } else if (!file.IsFolder()) {
        co_await OnEngine(
            [&](const TWalkFolders& folders, TFileStepSide& side) { DownloadFile(file, folders, side); });
    } else if (UnsafeLocalName(file.name)) {
        sources_.sessionLog.AppendLogLine(UnsafeNameSkippedLine(file.name));
    } else {
        const bool goOn = co_await OfferFolder(file.name + QStringLiteral("\nをサブディレクトリを含めて\n") +
                                                   sources_.panes.LocalDirText() +
                                                   QStringLiteral("\nにダウンロードしますか？"),
                                               sources_.downloadFolder, file.name);
        co_return goOn;
    }
    co_return true;
}

TTask<bool> TFileTransfers::ResumeRow(TFileEntry file)
{
    if (!file.IsFolder() && Parallel())
        co_await QueueRow(false, TQueuedMode::Resume, std::move(file));
    else if (!file.IsFolder())
        co_await OnEngine(
            [&](const TWalkFolders& folders, TFileStepSide& side) { ResumeDownload(file, folders, side); });
    co_return true;
}

TTask<> TFileTransfers::OnEngine(std::function<void(const TWalkFolders&, TFileStepSide&)> step)
{
    const TFileStepSide::TSettings settings = StepSettings(false);
    const TWalkFolders folders = PaneFolders();
    co_await sources_.service.Run([this, &step, &folders, &settings](TRemoteEngine& engine) {
        TFileStepSide side(sources_.service, engine, settings);
        step(folders, side);
    });
}

TTask<> TFileTransfers::QueueRow(bool upload, TQueuedMode mode, TFileEntry file)
{
    TWalkFolders folders = PaneFolders();
    // The other connections need the path of the remote pane's folder to work in it.
    const std::string remote = co_await sources_.service.Run([](TRemoteEngine& engine) { return engine.CurrentDirectory(); });
    folders.remote = QByteArray::fromStdString(remote);
    sources_.queue->Add(
        {.upload = upload, .mode = mode, .file = std::move(file), .folders = folders, .settings = StepSettings(true)});
}

TTask<bool> TFileTransfers::OfferFolder(QString question, TFolderTransfer transferFolder, QString name)
{
    switch (sources_.dialogs.Ask(question + OnlyThisFolderText, TUserDialogs::Buttons::YesNoCancel)) {
    case TUserDialogs::Answer::Yes:
        sources_.progress.ShowProgressWindow();
        co_await transferFolder(name);
        co_return true;
    case TUserDialogs::Answer::No:
        co_return true;
    default:
        co_return false;
    }
}

TTask<> TFileTransfers::WalkSelectedRows(std::vector<TFileEntry> files, std::optional<int> transform,
                                         TVisitRow visit, std::function<void()> relist)
{
    if (files.empty()) {
        sources_.dialogs.ShowMessage(NoSelectionText);
        co_return;
    }
    if (Parallel())
        co_await RunWithTransform(transform, VisitRows(std::move(files), std::move(visit)));
    else
        co_await RunTransferCommand(transform, VisitRows(std::move(files), std::move(visit)), std::move(relist));
}

TTask<> TFileTransfers::VisitRows(std::vector<TFileEntry> files, TVisitRow visit)
{
    for (TFileEntry& file : files) {
        if (StoppedByAbort() || sources_.service.SessionEnding())
            break;
        const bool goOn = co_await visit(std::move(file));
        if (!goOn)
            break;
    }
}

bool TFileTransfers::StoppedByAbort()
{
    if (!sources_.service.TakeAbort())
        return false;
    sources_.busy.LeaveBusyState();
    sources_.dialogs.ShowMessage(AbortedText);
    return true;
}

TTask<> TFileTransfers::RunTransferCommand(std::optional<int> transform, TTask<> body, std::function<void()> relist)
{
    if (sources_.options.bShowTransactionDlg)
        sources_.progress.CreateProgressWindow();
    sources_.busy.HoldPanes(true);
    std::exception_ptr escaped;
    try {
        co_await RunWithTransform(transform, std::move(body));
    } catch (...) {
        escaped = std::current_exception();
    }
    sources_.busy.HoldPanes(false);
    sources_.progress.DestroyProgressWindow();
    if (!escaped) {
        relist();
        co_return;
    }
    // The folder transfer's error is the one the application handler reports.
    try {
        relist();
    } catch (...) {
    }
    std::rethrow_exception(escaped);
}

// Whole directories.

void TFileTransfers::aUploadAllExecute(std::optional<int> transform)
{
    TransferWholeDirectory(sources_.panes.LocalDirText() + QStringLiteral("\nをすべて\n") +
                               sources_.panes.RemoteDirText() + QStringLiteral("\nにアップロードしますか？"),
                           transform, sources_.uploadFolder, RemoteRefresh());
}

void TFileTransfers::aDownloadAllExecute(std::optional<int> transform)
{
    TransferWholeDirectory(sources_.panes.RemoteDirText() + QStringLiteral("\nをすべて\n") +
                               sources_.panes.LocalDirText() + QStringLiteral("\nにダウンロードしますか？"),
                           transform, sources_.downloadFolder, LocalRefresh());
}

void TFileTransfers::TransferWholeDirectory(const QString& question, std::optional<int> transform,
                                            const TFolderTransfer& transferFolder, const std::function<void()>& relist)
{
    if (sources_.dialogs.Ask(question, TUserDialogs::Buttons::YesNoCancel) != TUserDialogs::Answer::Yes)
        return;
    if (Parallel())
        Launch(RunWithTransform(transform, transferFolder(QString())));
    else
        Launch(RunTransferCommand(transform, TransferFolderShown(transferFolder), relist));
}

TTask<> TFileTransfers::RunWithTransform(std::optional<int> transform, TTask<> body)
{
    sources_.service.ForgetAbort();
    {
        const std::lock_guard lock(writtenLocalPathsMutex_);
        writtenLocalPaths_.clear();
    }
    nameTransformOverride_ = transform;
    std::exception_ptr escaped;
    try {
        co_await body;
    } catch (...) {
        escaped = std::current_exception();
    }
    nameTransformOverride_.reset();
    if (escaped)
        std::rethrow_exception(escaped);
}

TTask<> TFileTransfers::TransferFolderShown(TFolderTransfer transferFolder)
{
    sources_.progress.ShowProgressWindow();
    co_await transferFolder(QString());
}

// Single files, shared with the folder transfers.

QString TFileTransfers::TransformName(const TFileStepSide& side, const QString& name)
{
    return ::TransformName(side.Settings().nameTransform, name);
}

TFileStepSide::TSettings TFileTransfers::StepSettings(bool queued) const
{
    return {.mode = TransferMode(),
            .nameTransform = nameTransformOverride_.value_or(sources_.options.iFileNameAfterTransfer),
            .queued = queued};
}

QString TFileTransfers::RemoteSpec(const TWalkFolders& folders, const QString& name) const
{
    return ::RemoteSpec(sources_.panes.ProfileName(), folders.remoteShown, name);
}

TWalkFolders TFileTransfers::PaneFolders() const
{
    return {.local = sources_.panes.LocalFolder(), .remote = {}, .remoteShown = sources_.panes.RemoteDirText()};
}

TTransferChoice TFileTransfers::TransferMode() const
{
    return sources_.transferMode();
}

TJobResult TFileTransfers::UploadFile(const TFileEntry& file, bool append, const TWalkFolders& folders,
                                      TFileStepSide& side)
{
    const QString& name = file.name;
    const QString localPath = LocalEntryPath(folders.local, name);
    if (std::optional<TJobResult> skipped = SkippedAsSpecialFile(localPath, side))
        return *skipped;
    const QString remoteShown = RemoteSpec(folders, TransformName(side, name));
    TJobResult sent = TransferOneFile(
        side, name, {localPath, remoteShown}, append ? "UploadAppending" : "Uploading",
        append ? QStringLiteral(" モードでアップロード追加中...") : QStringLiteral(" モードでアップロード中..."),
        [&](TRemoteEngine& engine) {
            const std::string remoteName = ServerName(engine.NameCodec(), TransformName(side, name));
            // The local file's size is what goes out: no SIZE to the server for it.
            PostExpectedSize(side, QFileInfo(localPath).size());
            engine.Put(NativePath(localPath), remoteName, append);
            if (!append)
                KeepTimeOnServer(engine, file.modified, remoteName);
            return true;
        });
    if (sent.Done())
        side.Report([this, localPath, remoteShown] {
            sources_.fileOperationLog.AppendFileOperationLog(QStringLiteral("Upload"), localPath, QStringLiteral("-->"),
                                                             remoteShown);
        });
    return sent;
}

std::vector<TJobResult> TFileTransfers::CheckDeferredUploads(const std::vector<TFileEntry>& sent,
                                                             const TWalkFolders& folders, TFileStepSide& side)
{
    std::vector<TJobResult> checked(sent.size());
    std::vector<EIdVerificationFailed> failures;
    // The names the uploads went out under, to tell which file each failure is.
    std::vector<std::string> remoteNames;
    side.Engine([&](TRemoteEngine& engine) {
        failures = engine.SettleUploadChecks();
        if (!failures.empty())
            for (const TFileEntry& file : sent)
                remoteNames.push_back(ServerName(engine.NameCodec(), TransformName(side, file.name)));
    });
    for (const EIdVerificationFailed& failure : failures) {
        const auto named = std::find(remoteNames.begin(), remoteNames.end(), failure.FileName());
        if (named == remoteNames.end())
            continue;
        const std::size_t index = std::size_t(named - remoteNames.begin());
        const TFileEntry& file = sent[index];
        ReportVerificationFailure(side, file.name,
                                  {LocalEntryPath(folders.local, file.name),
                                   RemoteSpec(folders, TransformName(side, file.name))},
                                  failure);
        checked[index] = TJobResult::FromError(std::make_exception_ptr(failure));
    }
    return checked;
}

TJobResult TFileTransfers::DownloadFile(const TFileEntry& file, const TWalkFolders& folders, TFileStepSide& side)
{
    const QString localPath = LocalEntryPath(folders.local, TransformName(side, file.name));
    if (std::optional<TJobResult> skipped = SkippedDownload(file, localPath, side))
        return *skipped;
    TJobResult received = TransferOneFile(side, file.name, {localPath, RemoteSpec(folders, file.name)}, "Downloading",
                                          QStringLiteral(" モードでダウンロード中..."), [&](TRemoteEngine& engine) {
                                              PostExpectedSize(side, ListedOrServerSize(engine, file));
                                              engine.Get(file.nameBytes.toStdString(), NativePath(localPath), true,
                                                         false, file.sizeKnown ? std::optional(file.size) : std::nullopt);
                                              return true;
                                          });
    if (received.Done())
        FinishDownload(file, localPath, folders, side);
    return received;
}

TJobResult TFileTransfers::ResumeDownload(const TFileEntry& file, const TWalkFolders& folders, TFileStepSide& side)
{
    const QString localPath = LocalEntryPath(folders.local, TransformName(side, file.name));
    if (std::optional<TJobResult> skipped = SkippedDownload(file, localPath, side))
        return *skipped;
    const TJobResult received = TransferOneFile(
        side, file.name, {localPath, RemoteSpec(folders, file.name)}, "DownloadRestoring", QStringLiteral(" モードでダウンロード修復中..."), [&](TRemoteEngine& engine) {
            const QFileInfo local(localPath);
            const std::int64_t localLength = local.exists() ? local.size() : 0;
            const std::int64_t missing = ListedOrServerSize(engine, file) - localLength;
            PostExpectedSize(side, missing);
            // A local file already whole is left as it is.
            if (localLength > 0 && missing <= 0)
                return false;
            engine.Get(file.nameBytes.toStdString(), NativePath(localPath), localLength == 0, localLength > 0,
                       std::nullopt);
            return true;
        });
    if (received.Done())
        FinishDownload(file, localPath, folders, side);
    return received;
}

TJobResult TFileTransfers::RunQueued(const TQueuedFile& queued, TFileStepSide& side)
{
    if (queued.upload)
        return UploadFile(queued.file, queued.mode == TQueuedMode::Append, queued.folders, side);
    return queued.mode == TQueuedMode::Resume ? ResumeDownload(queued.file, queued.folders, side)
                                              : DownloadFile(queued.file, queued.folders, side);
}

void TFileTransfers::PostExpectedSize(const TFileStepSide& side, std::int64_t size)
{
    // Posted before the data's work events, which read it. A queued file's size is the queue's.
    if (!side.Settings().queued)
        sources_.service.Post([this, size] { sources_.transfer.ExpectedSize = size; });
}

void TFileTransfers::FinishDownload(const TFileEntry& file, const QString& localPath, const TWalkFolders& folders,
                                    TFileStepSide& side)
{
    side.Report([this, localPath, folders, caption = file.name] {
        sources_.fileOperationLog.AppendFileOperationLog(QStringLiteral("Download"), localPath, QStringLiteral("<--"),
                                        RemoteSpec(folders, caption));
    });
    if (sources_.options.bRetrieveRemoteTimeStamp)
        RunFileGuarded(side, [&] { TakeRemoteTime(file, localPath, side); });
}

std::int64_t TFileTransfers::ListedOrServerSize(TRemoteEngine& engine, const TFileEntry& file)
{
    return file.sizeKnown ? file.size : engine.FileSize(file.nameBytes.toStdString());
}

void TFileTransfers::TakeRemoteTime(const TFileEntry& file, const QString& localPath, TFileStepSide& side) const
{
    std::optional<std::int64_t> time;
    side.Engine([&](TRemoteEngine& engine) { time = DownloadedFileTime(engine, file.modified, file.nameBytes.toStdString()); });
    // A listing without a time leaves the file's own.
    if (!time)
        return;
    if (!SetModificationTime(NativePath(localPath), std::time_t(*time)))
        throw std::runtime_error(
            QStringLiteral("%1 の更新日時を設定できません").arg(QFileInfo(localPath).fileName()).toStdString());
}

std::optional<TJobResult> TFileTransfers::SkippedDownload(const TFileEntry& file, const QString& localPath,
                                                          TFileStepSide& side)
{
    if (std::optional<TJobResult> skipped = SkippedAsUnsafe(file.name, side))
        return skipped;
    if (std::optional<TJobResult> skipped = SkippedAsSpecialFile(localPath, side))
        return skipped;
    return SkippedAsWrittenBefore(file, localPath, side);
}

std::optional<TJobResult> TFileTransfers::SkippedAsUnsafe(const QString& remoteName, TFileStepSide& side)
{
    if (!UnsafeLocalName(remoteName))
        return std::nullopt;
    return Skip(side, UnsafeNameSkippedLine(remoteName));
}

std::optional<TJobResult> TFileTransfers::SkippedAsSpecialFile(const QString& localPath, TFileStepSide& side)
{
    if (!IsSpecialFile(NativePath(localPath)))
        return std::nullopt;
    return Skip(side, QStringLiteral("通常のファイルではないため飛ばしました: ") + localPath);
}

std::optional<TJobResult> TFileTransfers::SkippedAsWrittenBefore(const TFileEntry& file, const QString& path,
                                                                 TFileStepSide& side)
{
    {
        const std::lock_guard lock(writtenLocalPathsMutex_);
        const auto written = writtenLocalPaths_.constFind(path);
        if (written == writtenLocalPaths_.constEnd()) {
            writtenLocalPaths_.insert(path, file.nameBytes);
            return std::nullopt;
        }
        // The same entry again, as a retried row: it writes its own file once more.
        if (*written == file.nameBytes)
            return std::nullopt;
    }
    return Skip(side,
                QStringLiteral("%1 にはこの転送で別のファイルを書き込んだため、%2 を飛ばしました").arg(path, file.name));
}

TJobResult TFileTransfers::Skip(TFileStepSide& side, const QString& line)
{
    LogLine(side, line);
    return TJobResult::Skipped(line);
}

void TFileTransfers::LogLine(TFileStepSide& side, const QString& line)
{
    side.Report([this, line] { sources_.sessionLog.AppendLogLine(line); });
}

TJobResult TFileTransfers::TransferOneFile(TFileStepSide& side, const QString& name, const TFileEnds& ends,
                                           const char* panelVerb, const QString& progressVerb,
                                           const std::function<bool(TRemoteEngine&)>& moveData)
{
    const bool binary = ::IsBinaryTransfer(side.Settings().mode, sources_.extensions.TextExtList, name);
    const bool queued = side.Settings().queued;
    if (!queued)
        side.Window([this, name, binary, panelVerb, progressVerb] {
            TTransferState& transfer = sources_.transfer;
            sources_.busy.EnterBusyState();
            sources_.progress.ShowProgressWindow();
            transfer.TransferModeName = binary ? QStringLiteral("Binary") : QStringLiteral("ASCII");
            sources_.busy.SetStatusPanel(3, transfer.TransferModeName + QStringLiteral(" mode ") +
                                                QLatin1String(panelVerb) + u' ' + name);
            sources_.progress.UpdateProgressWindow(transfer.TransferModeName + progressVerb, name, QString(), 0);
        });
    // A transfer that raised (refused, aborted, dropped) is not done, even when its data
    // channel had already closed.
    bool moved = false;
    TJobResult result = RunFileGuarded(side, [&] {
        try {
            side.Engine([&](TRemoteEngine& engine) {
                engine.SetTransferType(binary ? ftBinary : ftASCII);
                moved = moveData(engine);
            });
        } catch (const EIdVerificationFailed& failure) {
            ReportVerificationFailure(side, name, ends, failure);
            throw;
        }
    });
    // The end of the data transfer leaves the busy state; a file that failed before its data
    // flowed, or had nothing to move, leaves it here, so the panes do not stay disabled.
    if (!moved && !queued)
        side.Window([this] { sources_.busy.LeaveBusyState(); });
    if (result.Done() && !moved)
        return TJobResult::Skipped(QStringLiteral("転送済み"));
    return result;
}

void TFileTransfers::ReportVerificationFailure(TFileStepSide& side, const QString& name, const TFileEnds& ends,
                                               const EIdVerificationFailed& failure)
{
    const QString algorithm = QString::fromStdString(failure.Verification().Algorithm);
    QString line = QStringLiteral("転送後の検証で %1 が一致しません: %2").arg(algorithm, name);
    // The engine renames the damaged file on the receiving side, never over another file.
    if (!failure.PartName().empty())
        line += QStringLiteral("（%1.part として残しました）").arg(name);
    LogLine(side, line);
    side.Report([this, ends, algorithm] {
        sources_.fileOperationLog.AppendFileOperationLog(QStringLiteral("Verify"), ends.local, QStringLiteral("!="),
                                        ends.remote + u' ' + algorithm);
    });
}

TJobResult TFileTransfers::RunFileGuarded(TFileStepSide& side, const std::function<void()>& step)
{
    try {
        step();
        return {};
    } catch (const EIdProtocolReplyError&) {
        // The server's reply is already in the session log.
        return TJobResult::FromError(std::current_exception());
    } catch (const EIdVerificationFailed&) {
        // Reported with the file's names.
        return TJobResult::FromError(std::current_exception());
    } catch (...) {
        LogLine(side, ErrorLine(std::current_exception()));
        return TJobResult::FromError(std::current_exception());
    }
}
