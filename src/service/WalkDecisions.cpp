#include "service/WalkDecisions.h"

#include "service/FileExtensions.h"
#include "service/LocalNames.h"
#include "service/LocalPaths.h"

#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <compare>
#include <optional>

namespace {

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

bool IsListed(const StringList& extensions, const QString& name)
{
    return ExtensionListed(extensions, FileExtension(name));
}

TEntryDecision Sent(const TFileEntry& entry, TEntryReason reason)
{
    return {.action = TEntryAction::Send, .reason = reason, .entry = entry};
}

TEntryDecision Skipped(const TFileEntry& entry, TEntryReason reason)
{
    return {.action = TEntryAction::Skip, .reason = reason, .entry = entry};
}

// A file against its counterpart; order is the sending side's time against the receiving
// side's. Without the comparison an existing file is replaced; with it, one not newer stays.
TEntryDecision DecideFile(const TWalkRules& rules, const TFileEntry& source, const TFileEntry* target,
                          std::optional<std::strong_ordering> order)
{
    if (!rules.compareTimeStamp)
        return Sent(source, target ? TEntryReason::Replace : TEntryReason::New);
    if (IsListed(rules.skipExtensions, source.name))
        return Skipped(source, TEntryReason::SkipList);
    if (!target)
        return Sent(source, TEntryReason::New);
    if (!order) {
        const bool sizesDiffer = source.sizeKnown && target->sizeKnown && source.size != target->size;
        return Sent(source, sizesDiffer ? TEntryReason::DifferentSize : TEntryReason::TimeUnknown);
    }
    if (*order > 0)
        return Sent(source, TEntryReason::Newer);
    return Skipped(source, *order < 0 ? TEntryReason::Older : TEntryReason::Same);
}

}  // namespace

const char* ReasonText(TEntryReason reason)
{
    switch (reason) {
    case TEntryReason::None:
        return "";
    case TEntryReason::New:
        return "new";
    case TEntryReason::Newer:
        return "newer";
    case TEntryReason::DifferentSize:
        return "different size";
    case TEntryReason::TimeUnknown:
        return "time unknown";
    case TEntryReason::Replace:
        return "replace";
    case TEntryReason::SkipList:
        return "skip list";
    case TEntryReason::Older:
        return "older";
    case TEntryReason::Same:
        return "same";
    case TEntryReason::UnsafeName:
        return "unsafe name";
    case TEntryReason::Loop:
        return "loop";
    }
    return "";
}

TEntryDecision DecideUploadFile(const TWalkRules& rules, const TFileEntry& local, const std::vector<TFileEntry>& remote)
{
    const TFileEntry* other = Counterpart(remote, local.name);
    return DecideFile(rules, local, other, other ? CompareTimes(local, *other) : std::nullopt);
}

TEntryDecision DecideDownloadFile(const TWalkRules& rules, const TFileEntry& remote, const std::vector<TFileEntry>& local)
{
    const TFileEntry* other = Counterpart(local, remote.name);
    std::optional<std::strong_ordering> order;
    if (other)
        if (const std::optional<std::strong_ordering> localOrder = CompareTimes(*other, remote))
            order = 0 <=> *localOrder;
    return DecideFile(rules, remote, other, order);
}

TLevelPlan DecideUploadLevel(const TWalkRules& rules, const std::vector<TFileEntry>& local,
                             const std::vector<TFileEntry>& remote, const QSet<QString>& allLocalNames)
{
    TLevelPlan level{.receivingEntries = remote.size()};
    if (rules.mirror)
        for (const TFileEntry& entry : remote)
            if (!entry.IsFolder() && !allLocalNames.contains(entry.name.toLower()) &&
                !IsListed(rules.noDeleteExtensions, entry.name))
                level.deletions.push_back(entry);
    level.entries.reserve(local.size());
    for (const TFileEntry& entry : local) {
        if (!entry.IsFolder()) {
            level.entries.push_back(DecideUploadFile(rules, entry, remote));
            continue;
        }
        TEntryDecision folder{.action = TEntryAction::Enter, .entry = entry};
        if (const TFileEntry* counterpart = RemoteCounterpart(remote, entry.name)) {
            folder.targetExists = true;
            folder.remoteName = counterpart->nameBytes;
        }
        level.entries.push_back(std::move(folder));
    }
    return level;
}

TLevelPlan DecideDownloadLevel(const TWalkRules& rules, const std::vector<TFileEntry>& remote,
                               const std::vector<TFileEntry>& local, const QString& localFolder)
{
    TLevelPlan level{.receivingEntries = local.size()};
    // Only the local files the listing has no entry for, letter case aside: a name the mask or
    // the server hid is not known to be missing.
    if (rules.mirror)
        for (const TFileEntry& entry : local)
            if (!entry.IsFolder() && !Counterpart(remote, entry.name) && !IsListed(rules.noDeleteExtensions, entry.name))
                level.deletions.push_back(entry);
    level.entries.reserve(remote.size());
    for (const TFileEntry& entry : remote) {
        if (UnsafeLocalName(entry.name))
            level.entries.push_back(Skipped(entry, TEntryReason::UnsafeName));
        else if (entry.IsFolder())
            level.entries.push_back({.action = TEntryAction::Enter,
                                     .entry = entry,
                                     .targetExists = QFileInfo(LocalEntryPath(localFolder, entry.name)).isDir()});
        else
            level.entries.push_back(DecideDownloadFile(rules, entry, local));
    }
    return level;
}
