#pragma once
#include "service/Command.h"
#include "service/FileEntry.h"
#include "service/FolderWalk.h"
#include "service/JobResult.h"
#include "transfer/QueueIntake.h"
#include "transfer/FileStepSide.h"
#include "platform/ListFile.h"
#include "settings/ActionEnabling.h"
#include "settings/WindowSettings.h"
#include "settings/WindowState.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>
#include <optional>
#include <vector>

class EIdVerificationFailed;
class TBusyDisplay;
class TFileOperationLog;
class TRemoteEngine;
class TSessionLog;
class TTransferPanes;
class TSessionService;
class TTransferProgress;
class TUserDialogs;

// Files moved between the two panes: upload, append, download and resumed download of the
// selected rows, and the whole-directory commands, one file after the other through the
// session service. The single-file steps are shared with the folder transfers.
class TFileTransfers {
public:
    struct Sources {
        TSessionService& service;
        const TWindowOptions& options;
        const TExtensionLists& extensions;
        TTransferState& transfer;
        TTransferProgress& progress;
        TUserDialogs& dialogs;
        TTransferPanes& panes;
        TBusyDisplay& busy;
        TSessionLog& sessionLog;
        TFileOperationLog& fileOperationLog;
        // The checked transfer mode.
        std::function<TTransferChoice()> transferMode;
        // UploadFolder and DownloadFolder of a folder of the panes' directories; an empty name is
        // the directories themselves.
        using TFolderTransfer = std::function<TTask<>(const QString&)>;
        TFolderTransfer uploadFolder;
        TFolderTransfer downloadFolder;
        // Where uploads and downloads go when they run in parallel; none keeps them here.
        TQueueIntake* queue = nullptr;
    };

    explicit TFileTransfers(Sources sources);

    // Uploads need a session and a selected local row (append only a file), downloads a
    // selected remote row, the whole-directory commands a session.
    static void EnableActions(const TEnablingFacts& facts, const TActionSwitch& actions);

    // A transform (0 as is, 1 upper case, 2 lower case) names the files of this command only,
    // over the option's; nothing is saved.
    void aUploadExecute(std::optional<int> transform = {});
    void aUploadAppendExecute();
    void aDownloadExecute(std::optional<int> transform = {});
    void aDownloadRestoreExecute();
    void aUploadAllExecute(std::optional<int> transform = {});
    void aDownloadAllExecute(std::optional<int> transform = {});

    // Shared with the folder transfers and the queue.
    // What a file step of the running command needs to know from the window.
    TFileStepSide::TSettings StepSettings(bool queued) const;
    // The checked transfer mode.
    TTransferChoice TransferMode() const;
    // One file between the folders, the remote one being the engine's current directory, on
    // the side's thread; its errors end only this file and come back in the result. Done when
    // its data transfer ended, which also wrote its file-operation log line (and, for a download
    // with bRetrieveRemoteTimeStamp, stamped the file).
    TJobResult UploadFile(const TFileEntry& file, bool append, const TWalkFolders& folders, TFileStepSide& side);
    // Settles the checks of the uploads a walk sent with their checks deferred, on the side's
    // thread: each damaged file gets the lines a single upload's failed check gets. Gives each
    // sent file's outcome, in order.
    std::vector<TJobResult> CheckDeferredUploads(const std::vector<TFileEntry>& sent, const TWalkFolders& folders, TFileStepSide& side);
    TJobResult DownloadFile(const TFileEntry& file, const TWalkFolders& folders, TFileStepSide& side);
    TJobResult ResumeDownload(const TFileEntry& file, const TWalkFolders& folders, TFileStepSide& side);
    // A file of the queue, on the connection that took it.
    TJobResult RunQueued(const TQueuedFile& queued, TFileStepSide& side);
    // The panes' folders, where the commands on selected rows work.
    TWalkFolders PaneFolders() const;

private:
    using TFolderTransfer = Sources::TFolderTransfer;

    // One selected row; false ends the command.
    using TVisitRow = std::function<TTask<bool>(TFileEntry)>;
    TTask<bool> UploadRow(bool append, TFileEntry file);
    TTask<bool> DownloadRow(TFileEntry file);
    TTask<bool> ResumeRow(TFileEntry file);
    TTask<> ResumeSelectedRows(std::vector<TFileEntry> files);
    // Hands a selected file to the queue, between the panes' folders.
    TTask<> QueueRow(bool upload, TQueuedMode mode, TFileEntry file);
    bool Parallel() const { return sources_.queue && sources_.queue->Parallel(); }
    // The name the file gets on the receiving side.
    static QString TransformName(const TFileStepSide& side, const QString& name);
    // The listings after a command.
    std::function<void()> RemoteRefresh() const;
    std::function<void()> LocalRefresh() const;
    std::function<void()> LocalFill() const;
    // One job that runs step on the engine's thread, between the panes' folders.
    TTask<> OnEngine(std::function<void(const TWalkFolders&, TFileStepSide&)> step);
    // The frame of every command on selected rows: no selection is refused with a message;
    // the rows are walked with the abort test before each.
    TTask<> WalkSelectedRows(std::vector<TFileEntry> files, std::optional<int> transform, TVisitRow visit,
                             std::function<void()> relist);
    TTask<> VisitRows(std::vector<TFileEntry> files, TVisitRow visit);
    // The progress window and the held panes around RunWithTransform, then the re-listing, also
    // when body raised.
    TTask<> RunTransferCommand(std::optional<int> transform, TTask<> body, std::function<void()> relist);
    // Body with the command's transform in force, a fresh record of the local files written and
    // no abort request left from before. Alone, for transfers that hand their files to the
    // queue: the panes stay usable, and the queue relists them when its files have gone.
    TTask<> RunWithTransform(std::optional<int> transform, TTask<> body);
    void TransferWholeDirectory(const QString& question, std::optional<int> transform,
                                const TFolderTransfer& transferFolder, const std::function<void()>& relist);
    TTask<> TransferFolderShown(TFolderTransfer transferFolder);
    // Asks about a folder row; Yes transfers it. False when the user cancelled the command.
    TTask<bool> OfferFolder(QString question, TFolderTransfer transferFolder, QString name);
    // An abort request ends the walk, with the notice.
    bool StoppedByAbort();
    // Each gives the skipped result, with its session-log line, or nothing when the file goes.
    // A download is skipped for any of the three reasons below.
    std::optional<TJobResult> SkippedDownload(const TFileEntry& file, const QString& localPath, TFileStepSide& side);
    std::optional<TJobResult> SkippedAsUnsafe(const QString& remoteName, TFileStepSide& side);
    // A FIFO, socket or device at that local path: opening it for the transfer could wait for
    // ever, so it is skipped with a session-log line.
    std::optional<TJobResult> SkippedAsSpecialFile(const QString& localPath, TFileStepSide& side);
    // A second remote entry that one command would write to the same local file (names that
    // decode or transform alike): skipped with a session-log line, never written over the first.
    std::optional<TJobResult> SkippedAsWrittenBefore(const TFileEntry& file, const QString& localPath,
                                                     TFileStepSide& side);
    TJobResult Skip(TFileStepSide& side, const QString& line);
    void LogLine(TFileStepSide& side, const QString& line);
    // A file's two sides as the operation log names them.
    struct TFileEnds {
        QString local;
        QString remote;
    };
    // The steps every file shares around moveData, which runs with the engine set to the
    // file's data type and returns whether it moved data; true when it did without an error
    // and, where the server can tell, the file on both sides is the same.
    TJobResult TransferOneFile(TFileStepSide& side, const QString& name, const TFileEnds& ends, const char* panelVerb,
                               const QString& progressVerb, const std::function<bool(TRemoteEngine&)>& moveData);
    // The file arrived different from what was sent: a session-log line naming it and the
    // "Verify" line of the operation log.
    void ReportVerificationFailure(TFileStepSide& side, const QString& name, const TFileEnds& ends,
                                   const EIdVerificationFailed& failure);
    // From the engine's thread: the size the progress counts against.
    void PostExpectedSize(const TFileStepSide& side, std::int64_t size);
    void FinishDownload(const TFileEntry& file, const QString& localPath, const TWalkFolders& folders,
                        TFileStepSide& side);
    // On the engine's thread: the size the listing gave, else the server's answer to SIZE.
    static std::int64_t ListedOrServerSize(TRemoteEngine& engine, const TFileEntry& file);
    // Gives the downloaded file the remote file's time (bRetrieveRemoteTimeStamp).
    void TakeRemoteTime(const TFileEntry& file, const QString& localPath, TFileStepSide& side) const;
    // RemoteSpec with the window's profile.
    QString RemoteSpec(const TWalkFolders& folders, const QString& name) const;
    // Runs a step whose errors end only that file; those the server's reply does not already
    // show reach the session log.
    TJobResult RunFileGuarded(TFileStepSide& side, const std::function<void()>& step);

    Sources sources_;
    // The running command's transform.
    std::optional<int> nameTransformOverride_;
    // The local files the running command has written, by absolute path, with the name bytes of
    // the remote entry each came from; queued files write from several threads.
    QHash<QString, QByteArray> writtenLocalPaths_;
    std::mutex writtenLocalPathsMutex_;
};
