#include "transfer/FolderTransfers.h"

#include "ftp/IdFTP.h"
#include "panes/FileKinds.h"
#include "panes/FileListModel.h"
#include "panes/LocalPaths.h"
#include "panes/PaneTime.h"
#include "panes/RemoteNames.h"
#include "platform/DirectoryScan.h"
#include "platform/LocalEntries.h"
#include "service/SessionService.h"
#include "settings/UserDialogs.h"
#include "transfer/FileTransfers.h"
#include "transfer/TransferNames.h"
#include "transfer/TransferProgress.h"

#include <QComboBox>
#include <QFile>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

const QString UploadSearching = QStringLiteral("アップロードするファイルを調べています");
const QString DownloadSearching = QStringLiteral("ダウンロードするファイルを調べています");
const QString FileDone = QStringLiteral("転送完了...");
const QString TransferAborted = QStringLiteral("転送を中止しました。");

std::string EngineName(const QByteArray& bytes)
{
    return {bytes.constData(), size_t(bytes.size())};
}


// The first row of a list whose caption equals name, letter case aside.
const TFileRow* FirstRowNamed(const TFileListModel& rows, const QString& name)
{
    for (const TFileRow& row : rows.Rows())
        if (row.caption.compare(name, Qt::CaseInsensitive) == 0)
            return &row;
    return nullptr;
}

// Whether the name's extension, dot included, is in an extension list (letter case aside).
bool IsListed(const StringList& extensions, const QString& name)
{
    const QString extension = FileExtension(name);
    if (extension.isEmpty())
        return false;
    return std::any_of(extensions.begin(), extensions.end(), [&extension](const std::string& entry) {
        return QString::fromStdString(entry).compare(extension, Qt::CaseInsensitive) == 0;
    });
}

// Whether one side's file is not newer than the other's: as instants where both times are
// known to the second, else by the time texts at the coarser of their precisions. A listing
// that gave no time cannot show the file older, so it is transferred.
bool NotNewer(const TFileRow& mine, const TFileRow& theirs)
{
    if (mine.exactTime && theirs.exactTime)
        return *mine.exactTime <= *theirs.exactTime;
    if (mine.subItems[1].isEmpty() || theirs.subItems[1].isEmpty())
        return false;
    return PaneTimeValue(mine.subItems[1]) <= PaneTimeValue(theirs.subItems[1]);
}

// Runs LeaveBusyState when a level's entering block ends, however it ends.
class TLeaveBusyAtEnd {
public:
    explicit TLeaveBusyAtEnd(const std::function<void()>& leave) : leave_(leave) {}
    ~TLeaveBusyAtEnd() { leave_(); }
    TLeaveBusyAtEnd(const TLeaveBusyAtEnd&) = delete;
    TLeaveBusyAtEnd& operator=(const TLeaveBusyAtEnd&) = delete;

private:
    const std::function<void()>& leave_;
};

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

std::optional<DirectoryIdentity> TFolderTransfers::LocalFolderIdentity() const
{
    return IdentityOfDirectory(NativePath(sources_.localFolder()));
}

EFolderTransferError::EFolderTransferError(const QString& message) : std::runtime_error(message.toStdString()) {}

TFolderTransfers::TFolderTransfers(Sources sources) : sources_(std::move(sources)) {}

void TFolderTransfers::UploadFolder(const QString& localDir, const QString& remoteDir, const QString& name)
{
    const TWalking walking(walking_);
    TAncestors ancestors;
    if (const std::optional<DirectoryIdentity> start = LocalFolderIdentity())
        ancestors.push_back(*start);
    UploadLevel(localDir, remoteDir, name, ancestors);
}

void TFolderTransfers::UploadLevel(const QString& localDir, const QString& remoteDir, const QString& name,
                                   TAncestors& ancestors)
{
    sources_.transfer.TransferCompleted = false;
    const std::optional<DirectoryIdentity> start = LocalFolderIdentity();
    if (!name.isEmpty()) {
        // A link back to a directory on the way down would repeat the walk without end.
        const std::optional<DirectoryIdentity> folder = IdentityOfDirectory(NativePath(sources_.files.LocalPath(name)));
        if (folder && std::find(ancestors.begin(), ancestors.end(), *folder) != ancestors.end()) {
            sources_.appendLogLine(QStringLiteral("上の階層と同じフォルダーのため飛ばしました: ") +
                                   sources_.files.LocalPath(name));
            return;
        }
        TLeaveBusyAtEnd leave(sources_.leaveBusyState);
        const TFileRow* remote = RemoteCounterpart(name);
        const QByteArray remoteName = remote ? remote->nameBytes : ServerBytes(sources_.service.NameCodec(), name);
        if (!remote)
            sources_.service.Run([&remoteName](TIdFTP& engine) { engine.MakeDirectory(EngineName(remoteName)); });
        sources_.openRemoteSubdirectory(remoteName);
        EnterLocalSubdirectory(name);
    }
    const std::optional<DirectoryIdentity> here = LocalFolderIdentity();
    if (here)
        ancestors.push_back(*here);
    sources_.progress.UpdateProgressWindow(UploadSearching, sources_.localDirBox.currentText(), {}, 0);
    if (sources_.options.bMirroringAtUploadAll)
        MirrorRemoteDirectory();

    const size_t count = sources_.localRows.Rows().size();
    for (size_t index = 0; index < count && index < sources_.localRows.Rows().size(); ++index) {
        if (!GoOn())
            break;
        // A copy: the rows are listed afresh when a subfolder returns.
        const TFileRow row = sources_.localRows.Rows()[index];
        if (row.icon == fiFolder) {
            UploadLevel(sources_.localDirBox.currentText(), sources_.remoteDirBox.currentText(), row.caption, ancestors);
            continue;
        }
        if (sources_.options.bCompareTimeStamp && ShouldSkipUpload(row))
            continue;
        if (sources_.files.UploadFile(row, false))
            sources_.progress.UpdateProgressWindow(FileDone, row.caption, {}, 0);
    }
    if (here)
        ancestors.pop_back();
    ReturnToLevelStart(localDir, remoteDir, start);
}

void TFolderTransfers::DownloadFolder(const QString& localDir, const QString& remoteDir, const QString& name)
{
    const TWalking walking(walking_);
    const TFileRow* row = nullptr;
    for (const TFileRow& candidate : sources_.remoteRows.Rows())
        if (candidate.caption == name) {
            row = &candidate;
            break;
        }
    DownloadLevel(localDir, remoteDir, name, row ? row->nameBytes : ServerBytes(sources_.service.NameCodec(), name));
}

void TFolderTransfers::DownloadLevel(const QString& localDir, const QString& remoteDir, const QString& name,
                                     const QByteArray& remoteName)
{
    sources_.transfer.TransferCompleted = false;
    const std::optional<DirectoryIdentity> start = LocalFolderIdentity();
    if (!name.isEmpty()) {
        if (UnsafeLocalName(name)) {
            sources_.appendLogLine(UnsafeNameSkippedLine(name));
            return;
        }
        TLeaveBusyAtEnd leave(sources_.leaveBusyState);
        const bool created = CreateDirectoryEntry(NativePath(sources_.files.LocalPath(name)));
        sources_.transfer.TransferCompleted = created;
        if (created)
            sources_.appendFileOperationLog(QStringLiteral("CreateDir"), name, QString(), QString());
        sources_.openRemoteSubdirectory(remoteName);
        EnterLocalSubdirectory(name);
    }
    sources_.progress.UpdateProgressWindow(DownloadSearching, sources_.remoteDirBox.currentText(), {}, 0);

    const size_t count = sources_.remoteRows.Rows().size();
    for (size_t index = 0; index < count && index < sources_.remoteRows.Rows().size(); ++index) {
        if (!GoOn())
            break;
        const TFileRow row = sources_.remoteRows.Rows()[index];
        if (UnsafeLocalName(row.caption)) {
            sources_.appendLogLine(UnsafeNameSkippedLine(row.caption));
            continue;
        }
        if (row.icon == fiFolder) {
            DownloadLevel(sources_.localDirBox.currentText(), sources_.remoteDirBox.currentText(), row.caption,
                          row.nameBytes);
            continue;
        }
        if (sources_.options.bCompareTimeStamp && ShouldSkipDownload(row))
            continue;
        if (sources_.files.DownloadFile(row))
            sources_.progress.UpdateProgressWindow(FileDone, row.caption, {}, 0);
    }
    ReturnToLevelStart(localDir, remoteDir, start);
}

void TFolderTransfers::EnterLocalSubdirectory(const QString& name)
{
    const std::optional<DirectoryIdentity> folder = IdentityOfDirectory(NativePath(sources_.files.LocalPath(name)));
    sources_.openLocalSubdirectory(name);
    if (!folder || LocalFolderIdentity() != folder)
        throw EFolderTransferError(QStringLiteral("ローカルのフォルダーに入れません: ") + name);
}

bool TFolderTransfers::GoOn()
{
    if (!sources_.transfer.AbortRequested)
        return true;
    // The request stays set, so every enclosing level stops at its next row as well.
    sources_.leaveBusyState();
    sources_.dialogs.ShowMessage(TransferAborted);
    return false;
}

void TFolderTransfers::ReturnToLevelStart(const QString& localDir, const QString& remoteDir,
                                          const std::optional<DirectoryIdentity>& start)
{
    // A pending abort request would abort the remote listing, whose start would clear it; it
    // is kept for the enclosing levels instead.
    const bool abortPending = std::exchange(sources_.transfer.AbortRequested, false);
    if (sources_.localDirBox.currentText() != localDir) {
        sources_.localDirBox.setEditText(localDir);
        sources_.localRefresh();
        // The pane stays where it is when it cannot go back; the caller's loop would then
        // take this directory's rows for its own.
        if (LocalFolderIdentity() != start)
            throw EFolderTransferError(QStringLiteral("ローカルのフォルダーに戻れません: ") + localDir);
    }
    if (sources_.remoteDirBox.currentText() != remoteDir) {
        sources_.remoteDirBox.setEditText(remoteDir);
        sources_.remoteRefresh();
    }
    sources_.transfer.AbortRequested = sources_.transfer.AbortRequested || abortPending;
}

bool TFolderTransfers::ShouldSkipUpload(const TFileRow& localRow) const
{
    if (IsListed(sources_.extensions.SkipExtList, localRow.caption))
        return true;
    const TFileRow* remote = FirstRowNamed(sources_.remoteRows, localRow.caption);
    return remote && NotNewer(localRow, *remote);
}

bool TFolderTransfers::ShouldSkipDownload(const TFileRow& remoteRow) const
{
    if (IsListed(sources_.extensions.SkipExtList, remoteRow.caption))
        return true;
    const TFileRow* local = FirstRowNamed(sources_.localRows, remoteRow.caption);
    return local && NotNewer(remoteRow, *local);
}

void TFolderTransfers::MirrorRemoteDirectory()
{
    const std::optional<std::vector<std::string>> names = AllEntryNames(NativePath(sources_.localFolder()));
    if (!names)
        throw EFolderTransferError(QStringLiteral("ローカルのフォルダーを読めません: ") + sources_.localFolder());
    QSet<QString> localNames;
    for (const std::string& name : *names)
        localNames.insert(QFile::decodeName(QByteArray::fromStdString(name)).toLower());

    const std::vector<TFileRow> rows = sources_.remoteRows.Rows();
    for (const TFileRow& row : rows) {
        if (localNames.contains(row.caption.toLower()) || IsListed(sources_.extensions.NoDeleteExtList, row.caption))
            continue;
        // A folder refuses DELE, which ends the attempt: folders are never removed.
        try {
            sources_.service.Run([&row](TIdFTP& engine) {
                engine.DeleteFile(EngineName(row.nameBytes));
                engine.RemoveDirectory(EngineName(row.nameBytes));
            });
        } catch (const std::exception&) {
        }
    }
}

bool TFolderTransfers::RemoteEntryMissing(const QString& name) const
{
    return RemoteCounterpart(name) == nullptr;
}

const TFileRow* TFolderTransfers::RemoteCounterpart(const QString& name) const
{
    const QLocale locale = QLocale::system();
    const QString wanted = locale.toLower(name);
    for (const TFileRow& row : sources_.remoteRows.Rows())
        if (QString::localeAwareCompare(locale.toLower(row.caption), wanted) == 0)
            return &row;
    return nullptr;
}

