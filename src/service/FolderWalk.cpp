#include "service/FolderWalk.h"

#include "ftp/IdFTP.h"
#include "platform/DateTime.h"
#include "platform/DirectoryScan.h"
#include "platform/LocalEntries.h"
#include "service/FileExtensions.h"
#include "service/LocalNames.h"
#include "service/LocalPaths.h"
#include "service/RemoteNames.h"

#include <QCollator>
#include <QFileInfo>
#include <QLocale>
#include <QSet>

#include <algorithm>

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

// The local moment of a listed time as the remote pane shows it: to the second, a UTC time in
// local time.
QDateTime ListedMoment(const TIdFTPListItem& item)
{
    const TDateTime value =
        item.ModifiedUtc ? DateTimeFromTimeT(std::time_t(UnixTimeOfUtc(item.Modified))) : item.Modified;
    const TDateParts parts = DecodeDateTime(value);
    return QDateTime(QDate(parts.year, parts.month, parts.day), QTime(parts.hour, parts.minute, parts.second));
}

TWalkEntry RemoteEntry(const TNameCodec& codec, const TIdFTPListItem& item)
{
    TWalkEntry entry{.name = ShownName(codec, item.Name()),
                     .nameBytes = QByteArray(item.Name().data(), qsizetype(item.Name().size())),
                     .folder = item.Kind == ikDirectory};
    if (item.Precision != tpUnknown)
        entry.shownTime = ListedMoment(item);
    if (item.ModifiedUtc && item.Precision == tpSecond)
        entry.exactTime = UnixTimeOfUtc(item.Modified);
    if (item.SizeKnown)
        entry.listedSize = item.Size;
    return entry;
}

TWalkEntry LocalEntry(const DirectoryEntry& found)
{
    // The local pane shows minutes.
    const qint64 modified = qint64(found.modified);
    const qint64 minute = modified - ((modified % 60) + 60) % 60;
    return {.name = QString::fromStdString(found.name),
            .folder = found.IsDirectory(),
            .shownTime = QDateTime::fromSecsSinceEpoch(minute),
            .exactTime = modified};
}

// The panes' default order: folders first, then names by the locale's case-sensitive collation.
void SortEntries(std::vector<TWalkEntry>& entries)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
    std::stable_sort(entries.begin(), entries.end(), [&collator](const TWalkEntry& a, const TWalkEntry& b) {
        if (a.folder != b.folder)
            return a.folder;
        return collator.compare(a.name, b.name) < 0;
    });
}

// Whether one side's file is not newer than the other's: as instants where both are known to
// the second, else by the moments the panes show. A listing without a time cannot show the file
// older, so it is transferred.
bool NotNewer(const TWalkEntry& mine, const TWalkEntry& theirs)
{
    if (mine.exactTime && theirs.exactTime)
        return *mine.exactTime <= *theirs.exactTime;
    if (!mine.shownTime.isValid() || !theirs.shownTime.isValid())
        return false;
    return mine.shownTime <= theirs.shownTime;
}

bool IsListed(const StringList& extensions, const QString& name)
{
    return ExtensionListed(extensions, FileExtension(name));
}

// The first remote entry whose name equals name, letter case aside by the locale.
const TWalkEntry* RemoteCounterpart(const std::vector<TWalkEntry>& remote, const QString& name)
{
    const QLocale locale = QLocale::system();
    const QString wanted = locale.toLower(name);
    for (const TWalkEntry& entry : remote)
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
    host_.RunOnEngine([&start](TIdFTP& engine) {
        start.remote = QByteArray::fromStdString(engine.CurrentDirectory());
        start.remoteShown = ShownName(engine.NameCodec, start.remote);
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
                host_.RunOnEngine([&start](TIdFTP& engine) { engine.ChangeDirectory(EngineName(start.remote)); });
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
        const std::vector<TWalkEntry> remote = ListRemote(start);
        const auto listed = std::find_if(remote.begin(), remote.end(),
                                         [&name](const TWalkEntry& entry) { return entry.name == name; });
        TWalkEntry folder{.name = name, .folder = true};
        if (listed != remote.end())
            folder.nameBytes = listed->nameBytes;
        else
            host_.RunOnEngine([&folder](TIdFTP& engine) { folder.nameBytes = ServerBytes(engine.NameCodec, folder.name); });
        DownloadSubfolder(start, folder);
    });
}

std::vector<TWalkEntry> TFolderWalk::ListRemote(TWalkFolders& folders)
{
    NoteStopRequest();
    std::vector<TWalkEntry> entries;
    host_.RunOnEngine([&](TIdFTP& engine) {
        const std::string mask = ServerName(engine.NameCodec, settings_.remoteMask.trimmed());
        engine.ListLines.clear();
        engine.ListDirectory(mask);
        const TIdFTPListItems& listing = engine.ParsedListing();
        entries.reserve(listing.Count());
        // The listing may have taught the connection its name encoding.
        for (const TIdFTPListItem& item : listing)
            if (item.Name() != "." && item.Name() != "..")
                entries.push_back(RemoteEntry(engine.NameCodec, item));
        if (!folders.remote.isEmpty())
            folders.remoteShown = ShownName(engine.NameCodec, folders.remote);
    });
    SortEntries(entries);
    return entries;
}

std::vector<TWalkEntry> TFolderWalk::ScanLocal(const QString& folder) const
{
    // As the local pane lists: every kind, hidden names too, links as what they point to.
    QString mask = settings_.localMask.trimmed();
    if (mask.isEmpty())
        mask = QStringLiteral("*.*");
    std::vector<TWalkEntry> entries;
    for (const DirectoryEntry& found : ScanDirectory(NativePath(WithTrailingSlash(folder)), mask.toStdString()))
        entries.push_back(LocalEntry(found));
    SortEntries(entries);
    return entries;
}

void TFolderWalk::UploadLevel(TWalkFolders here, TAncestors& ancestors)
{
    const std::vector<TWalkEntry> remote = ListRemote(here);
    const std::vector<TWalkEntry> local = ScanLocal(here.local);
    const std::optional<DirectoryIdentity> identity = IdentityOfDirectory(NativePath(here.local));
    if (identity)
        ancestors.push_back(*identity);
    host_.ShowProgress(UploadSearching, WithTrailingSlash(here.local));
    if (settings_.mirror)
        MirrorRemote(here.local, remote);
    for (const TWalkEntry& entry : local) {
        if (!GoOn())
            break;
        if (entry.folder) {
            UploadSubfolder(here, remote, entry.name, ancestors);
            continue;
        }
        if (settings_.compareTimeStamp && ShouldSkip(entry, remote))
            continue;
        if (host_.UploadFile(entry, here))
            host_.ShowProgress(FileDone, entry.name);
    }
    if (identity)
        ancestors.pop_back();
}

void TFolderWalk::UploadSubfolder(const TWalkFolders& parent, const std::vector<TWalkEntry>& remote,
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
    if (const TWalkEntry* counterpart = RemoteCounterpart(remote, name))
        remoteName = counterpart->nameBytes;
    else
        host_.RunOnEngine([&](TIdFTP& engine) {
            remoteName = ServerBytes(engine.NameCodec, name);
            engine.MakeDirectory(EngineName(remoteName));
        });
    UploadLevel(EnterRemote(parent, local, remoteName), ancestors);
    LeaveRemote(parent);
}

void TFolderWalk::DownloadLevel(TWalkFolders here)
{
    const std::vector<TWalkEntry> remote = ListRemote(here);
    // The comparison sees the local folder as the level found it.
    const std::vector<TWalkEntry> local = settings_.compareTimeStamp ? ScanLocal(here.local) : std::vector<TWalkEntry>();
    host_.ShowProgress(DownloadSearching, here.remoteShown);
    for (const TWalkEntry& entry : remote) {
        if (!GoOn())
            break;
        if (UnsafeLocalName(entry.name)) {
            host_.LogLine(UnsafeNameSkippedLine(entry.name));
            continue;
        }
        if (entry.folder) {
            DownloadSubfolder(here, entry);
            continue;
        }
        if (settings_.compareTimeStamp && ShouldSkip(entry, local))
            continue;
        if (host_.DownloadFile(entry, here))
            host_.ShowProgress(FileDone, entry.name);
    }
}

void TFolderWalk::DownloadSubfolder(const TWalkFolders& parent, const TWalkEntry& folder)
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
    host_.RunOnEngine([&name](TIdFTP& engine) { engine.ChangeDirectory(EngineName(name)); });
    enteredSubfolders_ = true;
    return {.local = local, .remote = ChildPath(parent.remote, name), .remoteShown = {}};
}

void TFolderWalk::LeaveRemote(const TWalkFolders& parent)
{
    host_.RunOnEngine([&parent](TIdFTP& engine) {
        if (parent.remote.isEmpty())
            engine.ChangeToParent();
        else
            engine.ChangeDirectory(EngineName(parent.remote));
    });
}

void TFolderWalk::MirrorRemote(const QString& localFolder, const std::vector<TWalkEntry>& remote)
{
    const std::optional<std::vector<std::string>> names = AllEntryNames(NativePath(localFolder));
    if (!names)
        throw EFolderWalkError(QStringLiteral("ローカルのフォルダーを読めません: ") + localFolder);
    QSet<QString> localNames;
    for (const std::string& name : *names)
        localNames.insert(QFile::decodeName(QByteArray::fromStdString(name)).toLower());
    for (const TWalkEntry& entry : remote) {
        if (entry.folder || localNames.contains(entry.name.toLower()) ||
            IsListed(settings_.noDeleteExtensions, entry.name))
            continue;
        // A refusal leaves that entry; the walk goes on.
        try {
            host_.RunOnEngine([&entry](TIdFTP& engine) { engine.DeleteFile(EngineName(entry.nameBytes)); });
        } catch (const std::exception&) {
        }
    }
}

bool TFolderWalk::ShouldSkip(const TWalkEntry& file, const std::vector<TWalkEntry>& otherSide) const
{
    if (IsListed(settings_.skipExtensions, file.name))
        return true;
    const auto other = std::find_if(otherSide.begin(), otherSide.end(), [&file](const TWalkEntry& entry) {
        return entry.name.compare(file.name, Qt::CaseInsensitive) == 0;
    });
    return other != otherSide.end() && NotNewer(file, *other);
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
