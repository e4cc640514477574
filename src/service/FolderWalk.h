#pragma once
#include "platform/DirectoryIdentity.h"
#include "platform/ListFile.h"
#include "service/FileEntry.h"

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

// Uploads or downloads a folder tree over listings: one remote listing and one local scan per
// level, a decision per entry, and the files handed to the host's single-file steps. It never
// moves the panes; the engine ends in the directory where the walk started, however it ends.
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
    };

    struct TSettings {
        // The panes' masks: the local one is matched here, the remote one goes with each listing.
        QString localMask = {};
        QString remoteMask = {};
        // bCompareTimeStamp, with SkipExtList.
        bool compareTimeStamp = false;
        StringList skipExtensions = {};
        // bMirroringAtUploadAll, with NoDeleteExtList.
        bool mirror = false;
        StringList noDeleteExtensions = {};
    };

    TFolderWalk(THost& host, TSettings settings);

    // The subfolder `name` of localFolder and of the engine's current directory, or both whole
    // when name is empty.
    void Upload(const QString& localFolder, const QString& name);
    void Download(const QString& localFolder, const QString& name);

    // Under bCompareTimeStamp: true when a file stays where it is, because its extension is in
    // SkipExtList or the other side's first entry of that name (letter case aside) is not older.
    bool ShouldSkipUpload(const TFileEntry& local, const std::vector<TFileEntry>& remote) const;
    bool ShouldSkipDownload(const TFileEntry& remote, const std::vector<TFileEntry>& local) const;
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
    std::vector<TFileEntry> ScanLocal(const QString& folder) const;

    void UploadLevel(TWalkFolders here, TAncestors& ancestors);
    void UploadSubfolder(const TWalkFolders& parent, const std::vector<TFileEntry>& remote, const QString& name,
                         TAncestors& ancestors);
    void DownloadLevel(TWalkFolders here);
    void DownloadSubfolder(const TWalkFolders& parent, const TFileEntry& folder);
    // Deletes the level's remote files that have no local entry of that name, whatever the
    // local mask shows; folders and the extensions of NoDeleteExtList stay.
    void MirrorRemote(const QString& localFolder, const std::vector<TFileEntry>& remote);
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
