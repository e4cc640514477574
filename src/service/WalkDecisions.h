#pragma once
#include "platform/ListFile.h"
#include "service/FileEntry.h"

#include <QByteArray>
#include <QSet>
#include <QString>

#include <cstdint>
#include <vector>

// What a folder walk does with each entry of a level, decided once from the level's two sides.
// The running walk and the mirror plan both take these decisions, so a plan shows exactly what
// a walk would do.

// The options the decisions follow.
struct TWalkRules {
    // bCompareTimeStamp, with SkipExtList.
    bool compareTimeStamp = false;
    StringList skipExtensions = {};
    // Deletes, on the receiving side, the files the sending side has no entry of that name for;
    // NoDeleteExtList stays.
    bool mirror = false;
    StringList noDeleteExtensions = {};
};

enum class TEntryAction : std::uint8_t {
    // A folder: made on the receiving side where missing, then walked.
    Enter,
    Send,
    Skip,
};

enum class TEntryReason : std::uint8_t {
    None,
    // Why a file is sent.
    New,
    Newer,
    DifferentSize,
    // The comparison is on but the listing gave no time to compare.
    TimeUnknown,
    // The comparison is off: the other side's file is replaced unseen.
    Replace,
    // Why a file stays.
    SkipList,
    Older,
    Same,
    UnsafeName,
    // A folder link back to one the walk is already in.
    Loop,
};

// The reason as the plan shows it ("new", "skip list"...).
const char* ReasonText(TEntryReason reason);

struct TLevelPlan;

struct TEntryDecision {
    TEntryAction action = TEntryAction::Skip;
    TEntryReason reason = TEntryReason::None;
    // The sending side's entry.
    TFileEntry entry = {};
    // Enter: whether the receiving side has the folder; an upload enters the remote folder by
    // these bytes (the existing one's, letter case aside), or makes it.
    bool targetExists = false;
    QByteArray remoteName = {};
    // A plan's level inside an entered folder (one), or nothing: a loop, or not planned.
    std::vector<TLevelPlan> inside = {};
};

// One level: what is deleted on the receiving side first, then every shown entry in order.
struct TLevelPlan {
    std::vector<TFileEntry> deletions = {};
    std::vector<TEntryDecision> entries = {};
    // How many entries the receiving side listed: what one more listing of it costs.
    std::size_t receivingEntries = 0;
};

// allLocalNames: every name in the local folder, lower-cased, whatever the mask shows; only a
// mirroring upload reads it.
TLevelPlan DecideUploadLevel(const TWalkRules& rules, const std::vector<TFileEntry>& local,
                             const std::vector<TFileEntry>& remote, const QSet<QString>& allLocalNames);
// localFolder: where the level's local entries are, to tell whether a folder exists there.
TLevelPlan DecideDownloadLevel(const TWalkRules& rules, const std::vector<TFileEntry>& remote,
                               const std::vector<TFileEntry>& local, const QString& localFolder);

// Under the comparison: the decision on one file against the other side's entries.
TEntryDecision DecideUploadFile(const TWalkRules& rules, const TFileEntry& local, const std::vector<TFileEntry>& remote);
TEntryDecision DecideDownloadFile(const TWalkRules& rules, const TFileEntry& remote, const std::vector<TFileEntry>& local);
