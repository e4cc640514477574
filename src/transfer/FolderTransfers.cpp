#include "transfer/FolderTransfers.h"

#include "log/FileOperationLog.h"
#include "log/SessionLog.h"
#include "service/SessionService.h"
#include "settings/BusyDisplay.h"
#include "settings/UserDialogs.h"
#include "transfer/FileStepSide.h"
#include "transfer/FileTransfers.h"
#include "transfer/MirrorPreviewDlg.h"
#include "transfer/TransferPanes.h"
#include "transfer/TransferProgress.h"

#include <exception>
#include <utility>

namespace {

const QString TransferAborted = QStringLiteral("転送を中止しました。");

// Marks a folder transfer as running until it ends, however it ends.
class TWalking {
public:
    explicit TWalking(bool& walking) : walking_(walking) { walking_ = true; }
    ~TWalking() { walking_ = false; }
    TWalking(const TWalking&) = delete;
    TWalking& operator=(const TWalking&) = delete;

private:
    bool& walking_;
};

}  // namespace

// Lives for one job on the engine's thread: what it posts to the window may run after it has
// gone, so posted calls hold the folder transfers' sources, never the host.
class TFolderTransfers::TEngineHost : public TFolderWalk::THost {
public:
    TEngineHost(const Sources& sources, TRemoteEngine& engine, const TFileStepSide::TSettings& settings)
        : sources_(sources), engine_(engine), side_(sources.service, engine, settings)
    {
    }

    void RunOnEngine(const std::function<void(TRemoteEngine&)>& step) override { step(engine_); }
    void LogLine(const QString& line) override
    {
        sources_.service.Report([&sources = sources_, line] { sources.sessionLog.AppendLogLine(line); });
    }
    void LocalFolderCreated(const QString& name) override
    {
        sources_.service.Report([&sources = sources_, name] {
            sources.fileOperationLog.AppendFileOperationLog(QStringLiteral("CreateDir"), name, QString(), QString());
        });
    }
    void ShowProgress(const QString& status, const QString& file) override
    {
        sources_.service.Report(
            [&sources = sources_, status, file] { sources.progress.UpdateProgressWindow(status, file, {}, 0); });
    }
    // Read straight from the engine's thread: asking the window per file would hold the walk
    // until the window has worked through everything posted before.
    bool StopRequested() override
    {
        return sources_.service.SessionEnding() || sources_.service.TakeAbort();
    }
    void ShowStopped() override
    {
        sources_.service.Ask([this] {
            sources_.busy.LeaveBusyState();
            sources_.dialogs.ShowMessage(TransferAborted);
            return true;
        });
    }
    bool UploadFile(const TFileEntry& file, const TWalkFolders& folders) override
    {
        if (HandedToQueue(true, file, folders))
            return true;
        return sources_.files.UploadFile(file, false, folders, side_).Done();
    }
    bool DownloadFile(const TFileEntry& file, const TWalkFolders& folders) override
    {
        if (HandedToQueue(false, file, folders))
            return true;
        return sources_.files.DownloadFile(file, folders, side_).Done();
    }
    // A mirroring deletion has never had a log line of its own.
    void FileDeleted(const QString&) override {}
    void DeferUploadChecks() override
    {
        checksDeferred_ = true;
        engine_.DeferUploadChecks();
    }
    void CheckUploads(const std::vector<TFileEntry>& sent, const TWalkFolders& folders) override
    {
        checksDeferred_ = false;
        sources_.files.CheckDeferredUploads(sent, folders, side_);
    }

private:
    // With parallel transfers the file goes to the queue, where any connection can take it up
    // by its remote folder's path; a server that did not tell the path keeps it here.
    bool HandedToQueue(bool upload, const TFileEntry& file, const TWalkFolders& folders)
    {
        if (!side_.Settings().queued || folders.remote.isEmpty())
            return false;
        TQueuedFile queued{.upload = upload, .file = file, .folders = folders, .settings = side_.Settings()};
        // The connection that sends it checks it with the others it sends into the folder.
        if (upload && checksDeferred_)
            queued.settleChecks = [&files = sources_.files](const std::vector<TFileEntry>& sent,
                                                            const TWalkFolders& into, TFileStepSide& side) {
                return files.CheckDeferredUploads(sent, into, side);
            };
        sources_.service.Post([queue = sources_.queue, queued = std::move(queued)] { queue->Add(queued); });
        return true;
    }

    const Sources& sources_;
    TRemoteEngine& engine_;
    TFileStepSide side_;
    // Between the walk's DeferUploadChecks and its CheckUploads.
    bool checksDeferred_ = false;
};

TFolderTransfers::TFolderTransfers(Sources sources) : sources_(std::move(sources)) {}

TFolderWalk::TSettings TFolderTransfers::WalkSettings(bool mirror) const
{
    return {.localMask = sources_.panes.LocalMaskText(),
            .remoteMask = sources_.panes.RemoteMaskText(),
            .rules = {.compareTimeStamp = sources_.options.bCompareTimeStamp,
                      .skipExtensions = sources_.extensions.SkipExtList,
                      .mirror = mirror,
                      .noDeleteExtensions = sources_.extensions.NoDeleteExtList}};
}

TTask<bool> TFolderTransfers::RunWalk(TFolderWalk::TSettings settings,
                                      std::function<void(TFolderWalk&, const QString&)> walk)
{
    const TWalking walking(walking_);
    const QString localFolder = sources_.panes.LocalFolder();
    const bool parallel = sources_.queue && sources_.queue->Parallel();
    const TFileStepSide::TSettings stepSettings = sources_.files.StepSettings(parallel);
    const bool enteredSubfolders = co_await sources_.service.Run([&](TRemoteEngine& engine) {
        TEngineHost host(sources_, engine, stepSettings);
        TFolderWalk folderWalk(host, settings);
        walk(folderWalk, localFolder);
        return folderWalk.EnteredSubfolders();
    });
    co_return enteredSubfolders;
}

TTask<> TFolderTransfers::UploadFolder(QString name)
{
    const bool mirror = sources_.options.bMirroringAtUploadAll;
    if (mirror && sources_.options.bMirrorPreview) {
        co_await UploadPreviewed(name);
        co_return;
    }
    const TFolderWalk::TSettings settings = WalkSettings(mirror);
    co_await RunWalk(settings, [&name](TFolderWalk& walk, const QString& localFolder) { walk.Upload(localFolder, name); });
}

TTask<> TFolderTransfers::UploadPreviewed(QString name)
{
    const TFolderWalk::TSettings settings = WalkSettings(true);
    TWalkPlan plan;
    co_await RunWalk(settings, [&plan, &name](TFolderWalk& walk, const QString& localFolder) {
        plan = walk.PlanUpload(localFolder, name);
    });
    // A stop during the planning has shown its notice; a partial plan is never run.
    if (!plan.complete)
        co_return;
    const bool confirmed = PlanConfirmed(plan);
    if (!confirmed)
        co_return;
    co_await RunWalk(settings, [&plan](TFolderWalk& walk, const QString&) { walk.Run(plan); });
}

bool TFolderTransfers::PlanConfirmed(const TWalkPlan& plan)
{
    TMirrorPreviewDlg dialog(&sources_.progress.Owner(), PlanLines(plan));
    return sources_.dialogs.RunModal(dialog) == QDialog::Accepted;
}

TTask<> TFolderTransfers::DownloadFolder(QString name)
{
    bool enteredSubfolders = true;
    std::exception_ptr escaped;
    try {
        const TFolderWalk::TSettings settings = WalkSettings(false);
        enteredSubfolders = co_await RunWalk(
            settings, [&name](TFolderWalk& walk, const QString& localFolder) { walk.Download(localFolder, name); });
    } catch (...) {
        escaped = std::current_exception();
    }
    // The engine's last listing is the remote pane's again, as the pane's later commands expect.
    // After an error the walk's error is the one reported.
    if (enteredSubfolders) {
        try {
            co_await sources_.panes.ListRemote();
        } catch (...) {
            if (!escaped)
                throw;
        }
    }
    if (escaped)
        std::rethrow_exception(escaped);
}
