#include "MirrorCommand.h"

#include "ToolConnectionPool.h"
#include "ToolSession.h"
#include "ftp/IdText.h"
#include "service/FolderWalk.h"
#include "service/LocalPaths.h"
#include "service/RemoteEngine.h"
#include "service/RemoteNames.h"
#include "service/WalkPlanLines.h"

#include <QFileInfo>

#include <charconv>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

namespace {

std::string EngineName(const QByteArray& bytes)
{
    return {bytes.constData(), size_t(bytes.size())};
}

// The walk's host on the command line: engine steps run here, files go over the pool when
// there is one and the server told the folder's path, else over this connection at once.
class TMirrorHost : public TFolderWalk::THost {
public:
    TMirrorHost(TRemoteEngine& engine, TToolConnectionPool* pool, TTransferTally& tally)
        : engine_(engine), pool_(pool), tally_(tally)
    {
    }

    void RunOnEngine(const std::function<void(TRemoteEngine&)>& step) override { step(engine_); }
    void LogLine(const QString& line) override { std::cerr << "marlux-ftp: " << PrintableText(line.toStdString()) << '\n'; }
    void LocalFolderCreated(const QString&) override {}
    void ShowProgress(const QString&, const QString&) override {}
    bool StopRequested() override { return false; }
    void ShowStopped() override {}
    bool UploadFile(const TFileEntry& file, const TWalkFolders& folders) override
    {
        QByteArray remoteName;
        // A name the server's encoding cannot carry fails that file only.
        try {
            remoteName = ServerBytes(engine_.NameCodec(), file.name);
        } catch (const EUnsendableName& e) {
            LogLine(LocalEntryPath(folders.local, file.name) + QStringLiteral(": ") + QString::fromStdString(e.what()));
            ++tally_.failed;
            return false;
        }
        return Hand(file, folders, true, remoteName);
    }
    bool DownloadFile(const TFileEntry& file, const TWalkFolders& folders) override
    {
        return Hand(file, folders, false, file.nameBytes);
    }
    void FileDeleted(const QString&) override { ++deleted; }
    void DeferUploadChecks() override
    {
        checksDeferred_ = true;
        engine_.DeferUploadChecks();
    }
    // Files that went to the pool are checked there, by the connection that sent them; these
    // are this connection's.
    void CheckUploads(const std::vector<TFileEntry>&, const TWalkFolders&) override
    {
        checksDeferred_ = false;
        SettleUploadChecks(engine_, tally_);
    }

    int deleted = 0;

private:
    bool Hand(const TFileEntry& file, const TWalkFolders& folders, bool upload, const QByteArray& remoteName)
    {
        const QString localPath = LocalEntryPath(folders.local, file.name);
        TPoolFile job{.upload = upload,
                      .localPath = NativePath(localPath),
                      .size = file.size,
                      .sizeKnown = file.sizeKnown,
                      .modified = file.modified,
                      .shown = localPath,
                      .checkBatched = upload && checksDeferred_};
        if (pool_ && !folders.remote.isEmpty()) {
            const QByteArray separator = folders.remote.endsWith('/') ? QByteArray() : QByteArray("/");
            job.remotePath = EngineName(folders.remote + separator + remoteName);
            pool_->Add(std::move(job));
            return true;
        }
        job.remotePath = EngineName(remoteName);
        if (!MoveFile(engine_, job, tally_))
            throw std::runtime_error("the connection dropped");
        return true;
    }

    TRemoteEngine& engine_;
    TToolConnectionPool* pool_;
    TTransferTally& tally_;
    // Between the walk's DeferUploadChecks and its CheckUploads.
    bool checksDeferred_ = false;
};

int ParseParallel(const std::string& text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 1 || value > 8)
        throw UsageError("invalid --parallel: " + text + " (1 to 8)");
    return value;
}

void PrintPlan(const std::vector<TPlanLine>& lines, bool upload, std::ostream& out)
{
    for (const TPlanLine& line : lines) {
        const std::string path = PrintableText(line.path.toStdString());
        switch (line.kind) {
        case TPlanLineKind::MakeFolder:
            out << "mkdir " << path << '\n';
            break;
        case TPlanLineKind::Send:
            out << (upload ? "put " : "get ") << path << '\n';
            break;
        case TPlanLineKind::Skip:
            out << "skip " << ReasonText(line.reason) << ' ' << path << '\n';
            break;
        case TPlanLineKind::Delete:
            out << "delete " << path << '\n';
            break;
        }
    }
}

// Enters the remote folder; an upload makes it where missing, unless nothing may change.
void EnterRemoteRoot(TRemoteEngine& engine, const TMirrorArguments& mirror)
{
    try {
        engine.ChangeDirectory(mirror.remote);
    } catch (const std::exception&) {
        if (!mirror.reverse || mirror.dryRun)
            throw;
        engine.MakeDirectory(mirror.remote);
        engine.ChangeDirectory(mirror.remote);
    }
}

}  // namespace

TMirrorArguments ParseMirrorArguments(const std::vector<std::string>& arguments)
{
    TMirrorArguments mirror;
    std::vector<std::string> folders;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--reverse")
            mirror.reverse = true;
        else if (argument == "--delete")
            mirror.deleteMissing = true;
        else if (argument == "--dry-run")
            mirror.dryRun = true;
        else if (argument == "--only-newer")
            mirror.onlyNewer = true;
        else if (argument == "--parallel") {
            if (i + 1 == arguments.size())
                throw UsageError("--parallel needs a number");
            mirror.parallel = ParseParallel(arguments[++i]);
        } else if (argument.size() > 2 && argument.starts_with("--"))
            throw UsageError("unknown mirror option " + argument);
        else
            folders.push_back(argument);
    }
    if (folders.size() != 2)
        throw UsageError("mirror takes LOCAL and REMOTE");
    mirror.local = folders[0];
    mirror.remote = folders[1];
    return mirror;
}

int RunMirror(TToolSession& session, const ToolOptions& options, const TMirrorArguments& mirror, std::ostream& out)
{
    TRemoteEngine& engine = session.RemoteEngine();
    const QString local = QFileInfo(QFile::decodeName(QByteArray::fromStdString(mirror.local))).absoluteFilePath();
    if (!mirror.reverse && !mirror.dryRun)
        std::filesystem::create_directories(NativePath(local));
    if (!QFileInfo(local).isDir() && (mirror.reverse || !mirror.dryRun))
        throw std::runtime_error("not a local folder: " + mirror.local);

    const std::string start = engine.CurrentDirectory();
    EnterRemoteRoot(engine, mirror);
    TTransferTally tally;
    // The extra connections log in while this one plans.
    std::optional<TToolConnectionPool> pool;
    if (mirror.parallel > 1 && !mirror.dryRun)
        pool.emplace(options, mirror.parallel - 1, tally);
    TMirrorHost host(engine, pool ? &*pool : nullptr, tally);
    TFolderWalk walk(host, {.rules = {.compareTimeStamp = mirror.onlyNewer, .mirror = mirror.deleteMissing}});
    const TWalkPlan plan = mirror.reverse ? walk.PlanUpload(local, QString()) : walk.PlanDownload(local, QString());
    if (mirror.dryRun) {
        const std::vector<TPlanLine> lines = PlanLines(plan);
        PrintPlan(lines, mirror.reverse, out);
        const TPlanCounts counts = CountPlan(lines);
        out << "dry run: " << counts.filesToSend << " files, " << counts.bytesToSend << " bytes to move, "
            << counts.deletions << " files to delete\n";
        engine.ChangeDirectory(start);
        return 0;
    }
    walk.Run(plan);
    if (pool)
        pool->Finish(engine);
    engine.ChangeDirectory(start);
    out << tally.files << " files, " << tally.bytes << " bytes moved, " << host.deleted << " files deleted";
    if (tally.failed > 0)
        out << ", " << tally.failed << " failed";
    out << '\n';
    if (tally.verificationFailed)
        return 3;
    return tally.failed > 0 ? 1 : 0;
}
