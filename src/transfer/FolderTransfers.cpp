#include "transfer/FolderTransfers.h"

#include "ftp/IdFTP.h"
#include "panes/FileRow.h"
#include "panes/PaneTime.h"
#include "service/SessionService.h"
#include "settings/UserDialogs.h"
#include "transfer/FileTransfers.h"
#include "transfer/TransferProgress.h"

#include <exception>
#include <utility>

namespace {

const QString TransferAborted = QStringLiteral("転送を中止しました。");

// The row the single-file steps take for an entry of the walk.
TFileRow RowOf(const TWalkEntry& entry)
{
    TFileRow row{.caption = entry.name, .subItems = {}, .icon = entry.folder ? fiFolder : fiOther,
                 .nameBytes = entry.nameBytes, .exactTime = entry.exactTime, .listedSize = entry.listedSize};
    if (entry.shownTime.isValid())
        row.subItems[1] = entry.shownTime.toString(RemoteDateFormat() + u' ' + RemoteTimeFormat());
    return row;
}

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

TFolderTransfers::TFolderTransfers(Sources sources) : sources_(std::move(sources)) {}

TFolderWalk::TSettings TFolderTransfers::WalkSettings() const
{
    const TMasks masks = sources_.masks();
    return {.localMask = masks.local,
            .remoteMask = masks.remote,
            .compareTimeStamp = sources_.options.bCompareTimeStamp,
            .skipExtensions = sources_.extensions.SkipExtList,
            .mirror = sources_.options.bMirroringAtUploadAll,
            .noDeleteExtensions = sources_.extensions.NoDeleteExtList};
}

void TFolderTransfers::UploadFolder(const QString& name)
{
    const TWalking walking(walking_);
    TFolderWalk(*this, WalkSettings()).Upload(sources_.localFolder(), name);
}

void TFolderTransfers::DownloadFolder(const QString& name)
{
    const TWalking walking(walking_);
    TFolderWalk walk(*this, WalkSettings());
    std::exception_ptr escaped;
    try {
        walk.Download(sources_.localFolder(), name);
    } catch (...) {
        escaped = std::current_exception();
    }
    // The engine's last listing is the remote pane's again, as the pane's later commands expect.
    // After an error the walk's error is the one reported.
    if (walk.EnteredSubfolders()) {
        try {
            sources_.remoteRefresh();
        } catch (...) {
            if (!escaped)
                throw;
        }
    }
    if (escaped)
        std::rethrow_exception(escaped);
}

void TFolderTransfers::RunOnEngine(const std::function<void(TIdFTP&)>& step)
{
    sources_.service.Run([&step](TIdFTP& engine) { step(engine); });
}

void TFolderTransfers::LogLine(const QString& line)
{
    sources_.appendLogLine(line);
}

void TFolderTransfers::LocalFolderCreated(const QString& name)
{
    sources_.appendFileOperationLog(QStringLiteral("CreateDir"), name, QString(), QString());
}

void TFolderTransfers::ShowProgress(const QString& status, const QString& file)
{
    sources_.progress.UpdateProgressWindow(status, file, {}, 0);
}

bool TFolderTransfers::StopRequested()
{
    return sources_.transfer.AbortRequested;
}

void TFolderTransfers::ShowStopped()
{
    sources_.leaveBusyState();
    sources_.dialogs.ShowMessage(TransferAborted);
}

bool TFolderTransfers::UploadFile(const TWalkEntry& file, const TWalkFolders& folders)
{
    return sources_.files.UploadFile(RowOf(file), false, folders);
}

bool TFolderTransfers::DownloadFile(const TWalkEntry& file, const TWalkFolders& folders)
{
    return sources_.files.DownloadFile(RowOf(file), folders);
}
