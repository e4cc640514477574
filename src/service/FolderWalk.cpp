#include "service/FolderWalk.h"

#include "service/RemoteEngine.h"
#include "platform/DirectoryScan.h"
#include "platform/LocalEntries.h"
#include "service/FileEntries.h"
#include "service/FileExtensions.h"
#include "service/LocalNames.h"
#include "service/LocalPaths.h"
#include "service/RemoteNames.h"

#include <QCollator>
#include <QFileInfo>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <compare>

namespace {

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

// A local file's time against its remote counterpart's: less, equal or greater as the local one
// is older, the same or newer; none where the listing gave no time. Instants known to the second
// compare as instants; otherwise each side is taken as its pane shows it, the local file to the
// minute, the listed time as listed, read on the local clock.
std::optional<std::strong_ordering> CompareTimes(const TFileEntry& local, const TFileEntry& remote)
{
    const std::optional<std::int64_t> localExact = ExactInstant(local.modified);
    const std::optional<std::int64_t> remoteExact = ExactInstant(remote.modified);
    if (localExact && remoteExact)
        return *localExact <=> *remoteExact;
    const std::optional<std::int64_t> localTime = InstantOf(local.modified);
    const std::optional<std::int64_t> remoteTime = InstantOf(remote.modified);
    if (!localTime || !remoteTime)
        return std::nullopt;
    return *localTime - ((*localTime % 60) + 60) % 60 <=> *remoteTime;
}

// The other side's first entry whose name equals name, letter case aside.
const TFileEntry* Counterpart(const std::vector<TFileEntry>& otherSide, const QString& name)
{
    const auto other = std::find_if(otherSide.begin(), otherSide.end(), [&name](const TFileEntry& entry) {
        return entry.name.compare(name, Qt::CaseInsensitive) == 0;
    });
    return other == otherSide.end() ? nullptr : &*other;
}

bool IsListed(const StringList& extensions, const QString& name)
{
    return ExtensionListed(extensions, FileExtension(name));
}

// The first remote entry whose name equals name, letter case aside by the locale.
const TFileEntry* RemoteCounterpart(const std::vector<TFileEntry>& remote, const QString& name)
{
    const QLocale locale = QLocale::system();
    const QString wanted = locale.toLower(name);
    for (const TFileEntry& entry : remote)
        if (QString::localeAwareCompare(locale.toLower(entry.name), wanted) == 0)
            return &entry;
    return nullptr;
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

}  // namespace

EFolderWalkError::EFolderWalkError(const QString& message) : std::runtime_error(message.toStdString()) {}

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
            UploadLevel(start, ancestors);
        else
            UploadSubfolder(start, ListRemote(start), name, ancestors);
    });
}

void TFolderWalk::Download(const QString& localFolder, const QString& name)
{
    TWalkFolders start = StartFolders(localFolder);
    FromStart(start, [&] {
        if (name.isEmpty()) {
            DownloadLevel(start);
            return;
        }
        if (UnsafeLocalName(name)) {
            host_.LogLine(UnsafeNameSkippedLine(name));
            return;
        }
        const std::vector<TFileEntry> remote = ListRemote(start);
        const auto listed = std::find_if(remote.begin(), remote.end(),
                                         [&name](const TFileEntry& entry) { return entry.name == name; });
        TFileEntry folder{.name = name, .kind = TEntryKind::Folder};
        if (listed != remote.end())
            folder.nameBytes = listed->nameBytes;
        else
            host_.RunOnEngine([&folder](TRemoteEngine& engine) { folder.nameBytes = ServerBytes(engine.NameCodec(), folder.name); });
        DownloadSubfolder(start, folder);
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

void TFolderWalk::UploadLevel(TWalkFolders here, TAncestors& ancestors)
{
    const std::vector<TFileEntry> remote = ListRemote(here);
    const std::vector<TFileEntry> local = ScanLocal(here.local);
    const std::optional<DirectoryIdentity> identity = IdentityOfDirectory(NativePath(here.local));
    if (identity)
        ancestors.push_back(*identity);
    host_.ShowProgress(UploadSearching, WithTrailingSlash(here.local));
    if (settings_.mirror)
        MirrorRemote(here.local, remote);
    for (const TFileEntry& entry : local) {
        if (!GoOn())
            break;
        if (entry.IsFolder()) {
            UploadSubfolder(here, remote, entry.name, ancestors);
            continue;
        }
        if (settings_.compareTimeStamp && ShouldSkipUpload(entry, remote))
            continue;
        if (host_.UploadFile(entry, here))
            host_.ShowProgress(FileDone, entry.name);
    }
    if (identity)
        ancestors.pop_back();
}

void TFolderWalk::UploadSubfolder(const TWalkFolders& parent, const std::vector<TFileEntry>& remote,
                                  const QString& name, TAncestors& ancestors)
{
    const QString path = LocalEntryPath(parent.local, name);
    // A link back to a directory on the way down would repeat the walk without end.
    const std::optional<DirectoryIdentity> folder = IdentityOfDirectory(NativePath(path));
    if (folder && std::find(ancestors.begin(), ancestors.end(), *folder) != ancestors.end()) {
        host_.LogLine(QStringLiteral("上の階層と同じフォルダーのため飛ばしました: ") + path);
        return;
    }
    const QString local = EnteredFolder(path, name);
    QByteArray remoteName;
    if (const TFileEntry* counterpart = RemoteCounterpart(remote, name))
        remoteName = counterpart->nameBytes;
    else
        host_.RunOnEngine([&](TRemoteEngine& engine) {
            remoteName = ServerBytes(engine.NameCodec(), name);
            engine.MakeDirectory(EngineName(remoteName));
        });
    UploadLevel(EnterRemote(parent, local, remoteName), ancestors);
    LeaveRemote(parent);
}

void TFolderWalk::DownloadLevel(TWalkFolders here)
{
    const std::vector<TFileEntry> remote = ListRemote(here);
    // The comparison sees the local folder as the level found it.
    const std::vector<TFileEntry> local = settings_.compareTimeStamp ? ScanLocal(here.local) : std::vector<TFileEntry>();
    host_.ShowProgress(DownloadSearching, here.remoteShown);
    for (const TFileEntry& entry : remote) {
        if (!GoOn())
            break;
        if (UnsafeLocalName(entry.name)) {
            host_.LogLine(UnsafeNameSkippedLine(entry.name));
            continue;
        }
        if (entry.IsFolder()) {
            DownloadSubfolder(here, entry);
            continue;
        }
        if (settings_.compareTimeStamp && ShouldSkipDownload(entry, local))
            continue;
        if (host_.DownloadFile(entry, here))
            host_.ShowProgress(FileDone, entry.name);
    }
}

void TFolderWalk::DownloadSubfolder(const TWalkFolders& parent, const TFileEntry& folder)
{
    const QString path = LocalEntryPath(parent.local, folder.name);
    if (CreateDirectoryEntry(NativePath(path)))
        host_.LocalFolderCreated(folder.name);
    const QString local = EnteredFolder(path, folder.name);
    DownloadLevel(EnterRemote(parent, local, folder.nameBytes));
    LeaveRemote(parent);
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

void TFolderWalk::MirrorRemote(const QString& localFolder, const std::vector<TFileEntry>& remote)
{
    const std::optional<std::vector<std::string>> names = AllEntryNames(NativePath(localFolder));
    if (!names)
        throw EFolderWalkError(QStringLiteral("ローカルのフォルダーを読めません: ") + localFolder);
    QSet<QString> localNames;
    for (const std::string& name : *names)
        localNames.insert(QFile::decodeName(QByteArray::fromStdString(name)).toLower());
    for (const TFileEntry& entry : remote) {
        if (entry.IsFolder() || localNames.contains(entry.name.toLower()) ||
            IsListed(settings_.noDeleteExtensions, entry.name))
            continue;
        // A refusal leaves that entry; the walk goes on.
        try {
            host_.RunOnEngine([&entry](TRemoteEngine& engine) { engine.DeleteFile(EngineName(entry.nameBytes)); });
        } catch (const std::exception&) {
        }
    }
}

bool TFolderWalk::ShouldSkipUpload(const TFileEntry& local, const std::vector<TFileEntry>& remote) const
{
    if (IsListed(settings_.skipExtensions, local.name))
        return true;
    const TFileEntry* other = Counterpart(remote, local.name);
    const std::optional<std::strong_ordering> order = other ? CompareTimes(local, *other) : std::nullopt;
    return order && *order <= 0;
}

bool TFolderWalk::ShouldSkipDownload(const TFileEntry& remote, const std::vector<TFileEntry>& local) const
{
    if (IsListed(settings_.skipExtensions, remote.name))
        return true;
    const TFileEntry* other = Counterpart(local, remote.name);
    const std::optional<std::strong_ordering> order = other ? CompareTimes(*other, remote) : std::nullopt;
    return order && *order >= 0;
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
