#include "service/FolderWalk.h"

#include "service/RemoteEngine.h"
#include "platform/DirectoryScan.h"
#include "platform/LocalEntries.h"
#include "service/FileEntries.h"
#include "service/LocalNames.h"
#include "service/LocalPaths.h"
#include "service/RemoteNames.h"

#include <QCollator>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <utility>

namespace {

// A batched check lists the folder once: worth it while the listing is not much longer than
// the SIZE commands it saves.
constexpr std::size_t MaxListedPerBatchedCheck = 16;

const QString UploadSearching = QStringLiteral("アップロードするファイルを調べています");
const QString DownloadSearching = QStringLiteral("ダウンロードするファイルを調べています");
const QString FileDone = QStringLiteral("転送完了...");

std::string EngineName(const QByteArray& bytes)
{
    return {bytes.constData(), size_t(bytes.size())};
}

QByteArray ChildPath(const QByteArray& parent, const QByteArray& name)
{
    if (parent.isEmpty())
        return {};
    return parent.endsWith('/') ? parent + name : parent + '/' + name;
}

// The panes' default order: folders first, then names by the locale's case-sensitive collation.
void SortEntries(std::vector<TFileEntry>& entries)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
    std::stable_sort(entries.begin(), entries.end(), [&collator](const TFileEntry& a, const TFileEntry& b) {
        if (a.IsFolder() != b.IsFolder())
            return a.IsFolder();
        return collator.compare(a.name, b.name) < 0;
    });
}

// The folder a walk may enter, with its links resolved; raises EFolderWalkError otherwise.
QString EnteredFolder(const QString& path, const QString& name)
{
    const QFileInfo folder(path);
    const QString entered = folder.isDir() && folder.isExecutable() ? folder.canonicalFilePath() : QString();
    if (entered.isEmpty())
        throw EFolderWalkError(QStringLiteral("ローカルのフォルダーに入れません: ") + name);
    return entered;
}

// Every name in a local folder, lower-cased, whatever the mask shows.
QSet<QString> AllLocalNames(const QString& folder)
{
    const std::optional<std::vector<std::string>> names = AllEntryNames(NativePath(folder));
    if (!names)
        throw EFolderWalkError(QStringLiteral("ローカルのフォルダーを読めません: ") + folder);
    QSet<QString> lowered;
    for (const std::string& name : *names)
        lowered.insert(QFile::decodeName(QByteArray::fromStdString(name)).toLower());
    return lowered;
}

// What a planned folder holds; nothing where the planning did not reach it.
const TLevelPlan* PlannedInside(const TEntryDecision& folder)
{
    static const TLevelPlan nothing;
    return folder.inside.empty() ? &nothing : &folder.inside.front();
}

}  // namespace

EFolderWalkError::EFolderWalkError(const QString& message) : std::runtime_error(message.toStdString()) {}

void TFolderWalk::THost::DeferUploadChecks()
{
    RunOnEngine([](TRemoteEngine& engine) { engine.DeferUploadChecks(); });
}

TFolderWalk::TFolderWalk(THost& host, TSettings settings) : host_(host), settings_(std::move(settings)) {}

TWalkFolders TFolderWalk::StartFolders(const QString& localFolder)
{
    stopped_ = false;
    enteredSubfolders_ = false;
    TWalkFolders start{.local = localFolder};
    host_.RunOnEngine([&start](TRemoteEngine& engine) {
        start.remote = QByteArray::fromStdString(engine.CurrentDirectory());
        start.remoteShown = ShownName(engine.NameCodec(), start.remote);
    });
    return start;
}

void TFolderWalk::FromStart(const TWalkFolders& start, const std::function<void()>& body)
{
    try {
        body();
    } catch (...) {
        // Whoever started the walk still takes the engine to be at the start. A server that
        // named no path leaves nothing to go back to, and a dropped connection refuses.
        if (!start.remote.isEmpty()) {
            try {
                host_.RunOnEngine([&start](TRemoteEngine& engine) { engine.ChangeDirectory(EngineName(start.remote)); });
            } catch (...) {
            }
        }
        throw;
    }
}

void TFolderWalk::Upload(const QString& localFolder, const QString& name)
{
    TWalkFolders start = StartFolders(localFolder);
    FromStart(start, [&] {
        TAncestors ancestors;
        if (const std::optional<DirectoryIdentity> here = IdentityOfDirectory(NativePath(localFolder)))
            ancestors.push_back(*here);
        if (name.isEmpty())
            UploadLevel(start, ancestors, nullptr);
        else
            UploadSubfolder(start, NamedUploadFolder(start, name), ancestors, false);
    });
}

void TFolderWalk::Download(const QString& localFolder, const QString& name)
{
    TWalkFolders start = StartFolders(localFolder);
    FromStart(start, [&] {
        if (name.isEmpty())
            DownloadLevel(start, nullptr);
        else if (const std::optional<TEntryDecision> folder = NamedDownloadFolder(start, name))
            DownloadSubfolder(start, *folder, false);
    });
}

TWalkPlan TFolderWalk::PlanUpload(const QString& localFolder, const QString& name)
{
    TWalkPlan plan{.upload = true, .localFolder = localFolder, .name = name};
    TWalkFolders start = StartFolders(localFolder);
    FromStart(start, [&] {
        TAncestors ancestors;
        if (const std::optional<DirectoryIdentity> here = IdentityOfDirectory(NativePath(localFolder)))
            ancestors.push_back(*here);
        if (name.isEmpty()) {
            plan.root = PlanUploadLevel(start, true, ancestors);
            return;
        }
        TEntryDecision folder = NamedUploadFolder(start, name);
        PlanUploadSubfolder(start, folder, ancestors);
        plan.root.entries.push_back(std::move(folder));
    });
    plan.complete = !stopped_;
    return plan;
}

TWalkPlan TFolderWalk::PlanDownload(const QString& localFolder, const QString& name)
{
    TWalkPlan plan{.upload = false, .localFolder = localFolder, .name = name};
    TWalkFolders start = StartFolders(localFolder);
    FromStart(start, [&] {
        if (name.isEmpty()) {
            plan.root = PlanDownloadLevel(start, true);
            return;
        }
        std::optional<TEntryDecision> folder = NamedDownloadFolder(start, name);
        if (!folder)
            return;
        PlanDownloadSubfolder(start, *folder);
        plan.root.entries.push_back(std::move(*folder));
    });
    plan.complete = !stopped_;
    return plan;
}

void TFolderWalk::Run(const TWalkPlan& plan)
{
    TWalkFolders start = StartFolders(plan.localFolder);
    FromStart(start, [&] {
        if (!plan.upload) {
            if (plan.name.isEmpty())
                DownloadLevel(start, &plan.root);
            else
                for (const TEntryDecision& folder : plan.root.entries)
                    if (folder.action == TEntryAction::Enter)
                        DownloadSubfolder(start, folder, true);
            return;
        }
        TAncestors ancestors;
        if (const std::optional<DirectoryIdentity> here = IdentityOfDirectory(NativePath(plan.localFolder)))
            ancestors.push_back(*here);
        if (plan.name.isEmpty())
            UploadLevel(start, ancestors, &plan.root);
        else
            for (const TEntryDecision& folder : plan.root.entries)
                if (folder.action == TEntryAction::Enter)
                    UploadSubfolder(start, folder, ancestors, true);
    });
}

std::vector<TFileEntry> TFolderWalk::ListRemote(TWalkFolders& folders)
{
    NoteStopRequest();
    std::vector<TFileEntry> entries;
    host_.RunOnEngine([&](TRemoteEngine& engine) {
        const std::string mask = ServerName(engine.NameCodec(), settings_.remoteMask.trimmed());
        engine.ListDirectory(mask);
        const TIdFTPListItems& listing = engine.Listing();
        entries.reserve(listing.Count());
        // The listing may have taught the connection its name encoding.
        TListedEntryMaker maker(engine.NameCodec());
        for (const TIdFTPListItem& item : listing)
            if (item.Name() != "." && item.Name() != "..")
                entries.push_back(maker.Entry(item));
        if (!folders.remote.isEmpty())
            folders.remoteShown = ShownName(engine.NameCodec(), folders.remote);
    });
    SortEntries(entries);
    return entries;
}

void TFolderWalk::ShowRemoteName(TWalkFolders& folders)
{
    if (!folders.remote.isEmpty())
        host_.RunOnEngine([&folders](TRemoteEngine& engine) {
            folders.remoteShown = ShownName(engine.NameCodec(), folders.remote);
        });
}

std::vector<TFileEntry> TFolderWalk::ScanLocal(const QString& folder) const
{
    // As the local pane lists: every kind, hidden names too, links as what they point to.
    QString mask = settings_.localMask.trimmed();
    if (mask.isEmpty())
        mask = QStringLiteral("*.*");
    std::vector<TFileEntry> entries;
    TLocalEntryMaker maker;
    for (const DirectoryEntry& found : ScanDirectory(NativePath(WithTrailingSlash(folder)), mask.toStdString()))
        entries.push_back(maker.Entry(found));
    SortEntries(entries);
    return entries;
}

TLevelPlan TFolderWalk::DecideUpload(const TWalkFolders& here, const std::vector<TFileEntry>& remote) const
{
    const std::vector<TFileEntry> local = ScanLocal(here.local);
    return DecideUploadLevel(settings_.rules, local, remote,
                             settings_.rules.mirror ? AllLocalNames(here.local) : QSet<QString>());
}

TEntryDecision TFolderWalk::NamedUploadFolder(TWalkFolders& start, const QString& name)
{
    const std::vector<TFileEntry> remote = ListRemote(start);
    const TWalkRules rules{.compareTimeStamp = settings_.rules.compareTimeStamp};
    return DecideUploadLevel(rules, {TFileEntry{.name = name, .kind = TEntryKind::Folder}}, remote, {}).entries.front();
}

std::optional<TEntryDecision> TFolderWalk::NamedDownloadFolder(TWalkFolders& start, const QString& name)
{
    if (UnsafeLocalName(name)) {
        host_.LogLine(UnsafeNameSkippedLine(name));
        return std::nullopt;
    }
    const std::vector<TFileEntry> remote = ListRemote(start);
    const auto listed = std::find_if(remote.begin(), remote.end(),
                                     [&name](const TFileEntry& entry) { return entry.name == name; });
    TEntryDecision folder{.action = TEntryAction::Enter,
                          .entry = {.name = name, .kind = TEntryKind::Folder},
                          .targetExists = QFileInfo(LocalEntryPath(start.local, name)).isDir()};
    if (listed != remote.end())
        folder.entry.nameBytes = listed->nameBytes;
    else
        host_.RunOnEngine([&folder](TRemoteEngine& engine) {
            folder.entry.nameBytes = ServerBytes(engine.NameCodec(), folder.entry.name);
        });
    return folder;
}

void TFolderWalk::UploadLevel(TWalkFolders here, TAncestors& ancestors, const TLevelPlan* planned, bool made)
{
    TLevelPlan decided;
    if (!planned && made) {
        // A folder the walk has just made holds nothing to list.
        ShowRemoteName(here);
        decided = DecideUpload(here, {});
    } else if (!planned) {
        decided = DecideUpload(here, ListRemote(here));
    }
    const TLevelPlan& level = planned ? *planned : decided;
    const std::optional<DirectoryIdentity> identity = IdentityOfDirectory(NativePath(here.local));
    if (identity)
        ancestors.push_back(*identity);
    host_.ShowProgress(UploadSearching, WithTrailingSlash(here.local));
    DeleteRemote(level.deletions);
    UploadFiles(here, level, ancestors, planned != nullptr);
    if (identity)
        ancestors.pop_back();
}

void TFolderWalk::UploadFiles(const TWalkFolders& here, const TLevelPlan& level, TAncestors& ancestors, bool fromPlan)
{
    // Where the server checks an upload only by its size, one listing of the folder after its
    // files costs less than a SIZE after each, unless the folder holds far more than is sent.
    const std::size_t sends = std::size_t(std::count_if(level.entries.begin(), level.entries.end(),
        [](const TEntryDecision& decision) { return decision.action == TEntryAction::Send; }));
    const bool batched = sends >= 2 && level.receivingEntries <= MaxListedPerBatchedCheck * sends;
    std::vector<TFileEntry> sent;
    bool deferred = false;
    // Before the engine leaves the folder, and however the files end.
    const auto checkSent = [&] {
        if (std::exchange(deferred, false))
            host_.CheckUploads(std::exchange(sent, {}), here);
    };
    try {
        for (const TEntryDecision& decision : level.entries) {
            if (!GoOn())
                break;
            if (decision.action == TEntryAction::Enter) {
                checkSent();
                UploadSubfolder(here, decision, ancestors, fromPlan);
            } else if (decision.action == TEntryAction::Send) {
                if (batched && !deferred) {
                    host_.DeferUploadChecks();
                    deferred = true;
                }
                if (host_.UploadFile(decision.entry, here)) {
                    host_.ShowProgress(FileDone, decision.entry.name);
                    if (batched)
                        sent.push_back(decision.entry);
                }
            }
        }
    } catch (...) {
        try {
            checkSent();
        } catch (...) {
        }
        throw;
    }
    checkSent();
}

void TFolderWalk::UploadSubfolder(const TWalkFolders& parent, const TEntryDecision& folder, TAncestors& ancestors,
                                  bool fromPlan)
{
    const std::optional<QString> local = EnterableLocal(parent.local, folder.entry.name, ancestors);
    if (!local)
        return;
    QByteArray remoteName = folder.remoteName;
    if (!folder.targetExists)
        host_.RunOnEngine([&](TRemoteEngine& engine) {
            remoteName = ServerBytes(engine.NameCodec(), folder.entry.name);
            engine.MakeDirectory(EngineName(remoteName));
        });
    UploadLevel(EnterRemote(parent, *local, remoteName), ancestors, fromPlan ? PlannedInside(folder) : nullptr,
                !folder.targetExists);
    LeaveRemote(parent);
}

void TFolderWalk::DownloadLevel(TWalkFolders here, const TLevelPlan* planned)
{
    TLevelPlan decided;
    if (!planned) {
        const std::vector<TFileEntry> remote = ListRemote(here);
        // The comparison sees the local folder as the level found it.
        decided = DecideDownloadLevel(settings_.rules, remote, ScanLocal(here.local), here.local);
    } else {
        ShowRemoteName(here);
    }
    const TLevelPlan& level = planned ? *planned : decided;
    host_.ShowProgress(DownloadSearching, here.remoteShown);
    DeleteLocal(here.local, level.deletions);
    for (const TEntryDecision& decision : level.entries) {
        if (!GoOn())
            break;
        if (decision.reason == TEntryReason::UnsafeName)
            host_.LogLine(UnsafeNameSkippedLine(decision.entry.name));
        else if (decision.action == TEntryAction::Enter)
            DownloadSubfolder(here, decision, planned != nullptr);
        else if (decision.action == TEntryAction::Send && host_.DownloadFile(decision.entry, here))
            host_.ShowProgress(FileDone, decision.entry.name);
    }
}

void TFolderWalk::DownloadSubfolder(const TWalkFolders& parent, const TEntryDecision& folder, bool fromPlan)
{
    const QString path = LocalEntryPath(parent.local, folder.entry.name);
    if (CreateDirectoryEntry(NativePath(path)))
        host_.LocalFolderCreated(folder.entry.name);
    const QString local = EnteredFolder(path, folder.entry.name);
    DownloadLevel(EnterRemote(parent, local, folder.entry.nameBytes), fromPlan ? PlannedInside(folder) : nullptr);
    LeaveRemote(parent);
}

TLevelPlan TFolderWalk::PlanUploadLevel(TWalkFolders here, bool remoteExists, TAncestors& ancestors)
{
    TLevelPlan level = DecideUpload(here, remoteExists ? ListRemote(here) : std::vector<TFileEntry>());
    const std::optional<DirectoryIdentity> identity = IdentityOfDirectory(NativePath(here.local));
    if (identity)
        ancestors.push_back(*identity);
    host_.ShowProgress(UploadSearching, WithTrailingSlash(here.local));
    for (TEntryDecision& decision : level.entries) {
        if (decision.action != TEntryAction::Enter)
            continue;
        if (!GoOn())
            break;
        PlanUploadSubfolder(here, decision, ancestors);
    }
    if (identity)
        ancestors.pop_back();
    return level;
}

void TFolderWalk::PlanUploadSubfolder(const TWalkFolders& parent, TEntryDecision& folder, TAncestors& ancestors)
{
    const std::optional<QString> local = EnterableLocal(parent.local, folder.entry.name, ancestors);
    if (!local) {
        folder.action = TEntryAction::Skip;
        folder.reason = TEntryReason::Loop;
        return;
    }
    // A folder the run would make has nothing on the server yet to list.
    if (!folder.targetExists) {
        folder.inside.push_back(PlanUploadLevel({.local = *local}, false, ancestors));
        return;
    }
    folder.inside.push_back(PlanUploadLevel(EnterRemote(parent, *local, folder.remoteName), true, ancestors));
    LeaveRemote(parent);
}

TLevelPlan TFolderWalk::PlanDownloadLevel(TWalkFolders here, bool localExists)
{
    const std::vector<TFileEntry> remote = ListRemote(here);
    TLevelPlan level = DecideDownloadLevel(settings_.rules, remote,
                                           localExists ? ScanLocal(here.local) : std::vector<TFileEntry>(), here.local);
    host_.ShowProgress(DownloadSearching, here.remoteShown);
    for (TEntryDecision& decision : level.entries) {
        if (decision.action != TEntryAction::Enter)
            continue;
        if (!GoOn())
            break;
        PlanDownloadSubfolder(here, decision);
    }
    return level;
}

void TFolderWalk::PlanDownloadSubfolder(const TWalkFolders& parent, TEntryDecision& folder)
{
    const QString path = LocalEntryPath(parent.local, folder.entry.name);
    // Something in the folder's place that the run could not enter ends the walk now, before
    // anything changed.
    const QString local = QFileInfo::exists(path) ? EnteredFolder(path, folder.entry.name) : path;
    folder.inside.push_back(PlanDownloadLevel(EnterRemote(parent, local, folder.entry.nameBytes), folder.targetExists));
    LeaveRemote(parent);
}

std::optional<QString> TFolderWalk::EnterableLocal(const QString& parent, const QString& name,
                                                   const TAncestors& ancestors)
{
    const QString path = LocalEntryPath(parent, name);
    // A link back to a directory on the way down would repeat the walk without end.
    const std::optional<DirectoryIdentity> folder = IdentityOfDirectory(NativePath(path));
    if (folder && std::find(ancestors.begin(), ancestors.end(), *folder) != ancestors.end()) {
        host_.LogLine(QStringLiteral("上の階層と同じフォルダーのため飛ばしました: ") + path);
        return std::nullopt;
    }
    return EnteredFolder(path, name);
}

TWalkFolders TFolderWalk::EnterRemote(const TWalkFolders& parent, const QString& local, const QByteArray& name)
{
    host_.RunOnEngine([&name](TRemoteEngine& engine) { engine.ChangeDirectory(EngineName(name)); });
    enteredSubfolders_ = true;
    return {.local = local, .remote = ChildPath(parent.remote, name), .remoteShown = {}};
}

void TFolderWalk::LeaveRemote(const TWalkFolders& parent)
{
    host_.RunOnEngine([&parent](TRemoteEngine& engine) {
        if (parent.remote.isEmpty())
            engine.ChangeToParent();
        else
            engine.ChangeDirectory(EngineName(parent.remote));
    });
}

void TFolderWalk::DeleteRemote(const std::vector<TFileEntry>& files)
{
    for (const TFileEntry& file : files) {
        // A refusal leaves that entry; the walk goes on.
        try {
            host_.RunOnEngine([&file](TRemoteEngine& engine) { engine.DeleteFile(EngineName(file.nameBytes)); });
            host_.FileDeleted(file.name);
        } catch (const std::exception&) {
        }
    }
}

void TFolderWalk::DeleteLocal(const QString& folder, const std::vector<TFileEntry>& files)
{
    for (const TFileEntry& file : files) {
        const QString path = LocalEntryPath(folder, file.name);
        if (RemoveFileEntry(NativePath(path)))
            host_.FileDeleted(file.name);
        else
            host_.LogLine(QStringLiteral("ローカルのファイルを削除できません: ") + path);
    }
}

void TFolderWalk::NoteStopRequest()
{
    stopped_ = stopped_ || host_.StopRequested();
}

bool TFolderWalk::GoOn()
{
    NoteStopRequest();
    if (!stopped_)
        return true;
    // Every enclosing level stops at its next entry as well, each with the notice.
    host_.ShowStopped();
    return false;
}
