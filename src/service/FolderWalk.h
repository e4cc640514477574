#pragma once
#include "platform/DirectoryIdentity.h"
#include "service/FileEntry.h"
#include "service/WalkDecisions.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

class TRemoteEngine;

// A folder walk that cannot go on: a local directory it cannot enter or read. It ends the
// whole walk, as an engine error outside a file's transfer does.
class EFolderWalkError : public std::runtime_error {
public:
    explicit EFolderWalkError(const QString& message);
};

// The folders of one level: the local one, and the remote one by its path and as shown.
struct TWalkFolders {
    QString local = {};
    // Empty when the server did not tell its path: the walk then leaves a level by CDUP.
    QByteArray remote = {};
    QString remoteShown = {};
};

// What a walk would do, decided in full before anything changes.
struct TWalkPlan {
    bool upload = true;
    QString localFolder = {};
    // The subfolder the walk is for; empty for the folders whole.
    QString name = {};
    // The start level; for a named subfolder, a level holding only that folder's entry.
    TLevelPlan root = {};
    // False when a stop request ended the planning: the plan is not the whole walk.
    bool complete = true;
};

// Uploads or downloads a folder tree over listings: one remote listing and one local scan per
// level, a decision per entry, and the files handed to the host's single-file steps. It never
// moves the panes; the engine ends in the directory where the walk started, however it ends.
// A walk can also be planned first, changing nothing, and the plan run as it stands.
class TFolderWalk {
public:
    // What the walk needs from whoever runs it.
    class THost {
    public:
        virtual ~THost() = default;
        // Runs an engine step where the engine lives.
        virtual void RunOnEngine(const std::function<void(TRemoteEngine&)>& step) = 0;
        virtual void LogLine(const QString& line) = 0;
        // A local folder the download made (the file-operation log's CreateDir).
        virtual void LocalFolderCreated(const QString& name) = 0;
        // The progress window's status and file texts.
        virtual void ShowProgress(const QString& status, const QString& file) = 0;
        // Whether the user asked to stop; the walk remembers a yes for the rest of the walk.
        virtual bool StopRequested() = 0;
        // The notice of a level that a stop request ended.
        virtual void ShowStopped() = 0;
        // One file between the level's folders; true when its data transfer ended.
        virtual bool UploadFile(const TFileEntry& file, const TWalkFolders& folders) = 0;
        virtual bool DownloadFile(const TFileEntry& file, const TWalkFolders& folders) = 0;
        // A file of the level that mirroring deleted on the receiving side.
        virtual void FileDeleted(const QString& name) = 0;
        // The level's uploads from here until CheckUploads leave their size checks to it
        // (TRemoteEngine::DeferUploadChecks on the engine that sends them).
        virtual void DeferUploadChecks();
        // The uploads sent since DeferUploadChecks, checked together while the engine is still
        // in their folder; each damaged one is reported as a single upload's would be.
        virtual void CheckUploads(const std::vector<TFileEntry>& sent, const TWalkFolders& folders) = 0;
    };

    struct TSettings {
        // The panes' masks: the local one is matched here, the remote one goes with each listing.
        QString localMask = {};
        QString remoteMask = {};
        TWalkRules rules = {};
    };

    TFolderWalk(THost& host, TSettings settings);

    // The subfolder `name` of localFolder and of the engine's current directory, or both whole
    // when name is empty.
    void Upload(const QString& localFolder, const QString& name);
    void Download(const QString& localFolder, const QString& name);
    // The same walks planned: listings and scans only. A level whose folder the walk would make
    // is planned as empty.
    TWalkPlan PlanUpload(const QString& localFolder, const QString& name);
    TWalkPlan PlanDownload(const QString& localFolder, const QString& name);
    // Does what the plan lists, in its order, without listing again.
    void Run(const TWalkPlan& plan);

    // Whether the last walk listed folders below its start, so that the engine's listing is no
    // longer the start's.
    bool EnteredSubfolders() const { return enteredSubfolders_; }

private:
    using TAncestors = std::vector<DirectoryIdentity>;

    TWalkFolders StartFolders(const QString& localFolder);
    // Runs body; on an error the engine goes back to the start first.
    void FromStart(const TWalkFolders& start, const std::function<void()>& body);
    // The level's remote entries, by the remote mask; sets the folders' shown remote path.
    std::vector<TFileEntry> ListRemote(TWalkFolders& folders);
    // The same shown path, for a level that is not listed.
    void ShowRemoteName(TWalkFolders& folders);
    std::vector<TFileEntry> ScanLocal(const QString& folder) const;
    TLevelPlan DecideUpload(const TWalkFolders& here, const std::vector<TFileEntry>& remote) const;
    // The named subfolder of the start, as its level decides it.
    TEntryDecision NamedUploadFolder(TWalkFolders& start, const QString& name);
    std::optional<TEntryDecision> NamedDownloadFolder(TWalkFolders& start, const QString& name);

    // A level does the plan's decisions where one is given, else decides them from its listings.
    // made: the walk has just made the remote folder.
    void UploadLevel(TWalkFolders here, TAncestors& ancestors, const TLevelPlan* planned, bool made = false);
    void UploadSubfolder(const TWalkFolders& parent, const TEntryDecision& folder, TAncestors& ancestors,
                         bool fromPlan);
    // The level's files, with their checks batched where that is cheaper than one each.
    void UploadFiles(const TWalkFolders& here, const TLevelPlan& level, TAncestors& ancestors, bool fromPlan);
    void DownloadLevel(TWalkFolders here, const TLevelPlan* planned);
    void DownloadSubfolder(const TWalkFolders& parent, const TEntryDecision& folder, bool fromPlan);
    TLevelPlan PlanUploadLevel(TWalkFolders here, bool remoteExists, TAncestors& ancestors);
    TLevelPlan PlanDownloadLevel(TWalkFolders here, bool localExists);
    void PlanUploadSubfolder(const TWalkFolders& parent, TEntryDecision& folder, TAncestors& ancestors);
    void PlanDownloadSubfolder(const TWalkFolders& parent, TEntryDecision& folder);

    // The local subfolder a walk may enter, or none for a link back up the way (logged).
    std::optional<QString> EnterableLocal(const QString& parent, const QString& name, const TAncestors& ancestors);
    void DeleteRemote(const std::vector<TFileEntry>& files);
    void DeleteLocal(const QString& folder, const std::vector<TFileEntry>& files);
    // CWD into a subfolder named by its bytes, and back to the parent.
    TWalkFolders EnterRemote(const TWalkFolders& parent, const QString& local, const QByteArray& name);
    void LeaveRemote(const TWalkFolders& parent);
    // False, with the notice, once the user asked to stop.
    bool GoOn();
    // Takes note of a stop request: a listing's transfer would clear it.
    void NoteStopRequest();

    THost& host_;
    TSettings settings_;
    bool stopped_ = false;
    bool enteredSubfolders_ = false;
};
