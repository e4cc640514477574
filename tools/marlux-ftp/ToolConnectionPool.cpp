#include "ToolConnectionPool.h"

#include "ToolSession.h"
#include "ftp/IdText.h"
#include "ftp/IdVerification.h"
#include "platform/LocalEntries.h"
#include "service/FolderAffinity.h"
#include "service/KeptTimes.h"
#include "service/RemoteEngine.h"

#include <iostream>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

namespace {

// Lines from several connections' threads, each whole.
void ReportLine(const std::string& line)
{
    static std::mutex output;
    const std::lock_guard<std::mutex> lock(output);
    std::cerr << "marlux-ftp: " << PrintableText(line) << '\n';
}

// A view into path: taking the next file compares the folders of every waiting file.
std::string_view FolderOfPath(std::string_view path)
{
    return path.substr(0, path.rfind('/') + 1);
}

}  // namespace

void SettleUploadChecks(TRemoteEngine& engine, TTransferTally& tally)
{
    for (const EIdVerificationFailed& failure : engine.SettleUploadChecks()) {
        tally.verificationFailed = true;
        ++tally.failed;
        --tally.files;
        tally.bytes -= std::stoll(failure.Verification().Expected);
        ReportLine(failure.what());
    }
}

bool MoveFile(TRemoteEngine& engine, const TPoolFile& file, TTransferTally& tally)
{
    try {
        if (file.upload) {
            engine.Put(file.localPath, file.remotePath, false);
            KeepTimeOnServer(engine, file.modified, file.remotePath);
        } else {
            engine.Get(file.remotePath, file.localPath, true, false,
                       file.sizeKnown ? std::optional<std::int64_t>(file.size) : std::nullopt);
            const std::optional<std::int64_t> time = DownloadedFileTime(engine, file.modified, file.remotePath);
            if (time && !SetModificationTime(file.localPath, std::time_t(*time)))
                ReportLine(file.shown.toStdString() + ": the modification time could not be set");
        }
        ++tally.files;
        tally.bytes += file.size;
        return true;
    } catch (const EIdVerificationFailed& e) {
        tally.verificationFailed = true;
        ++tally.failed;
        ReportLine(file.shown.toStdString() + ": " + e.what());
    } catch (const std::exception& e) {
        if (!engine.Connected())
            return false;
        ++tally.failed;
        ReportLine(file.shown.toStdString() + ": " + e.what());
    }
    return true;
}

TToolConnectionPool::TToolConnectionPool(const ToolOptions& options, int extraConnections, TTransferTally& tally)
    : tally_(tally)
{
    for (int index = 0; index < extraConnections; ++index)
        threads_.emplace_back([this, options] { Work(options); });
}

TToolConnectionPool::~TToolConnectionPool()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        // Only when the walk failed before Finish: what was not moved yet is dropped.
        queue_.clear();
        finished_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_)
        if (thread.joinable())
            thread.join();
}

void TToolConnectionPool::Add(TPoolFile file)
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(std::move(file));
    }
    changed_.notify_one();
}

void TToolConnectionPool::Finish(TRemoteEngine& own)
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
    }
    changed_.notify_all();
    Drain(own);
    for (std::thread& thread : threads_)
        thread.join();
    // Files left by connections that all dropped.
    for (const TPoolFile& file : queue_) {
        ++tally_.failed;
        ReportLine(file.shown.toStdString() + ": no connection left to move it");
    }
    queue_.clear();
}

void TToolConnectionPool::Work(const ToolOptions& options)
{
    const std::unique_ptr<TToolSession> session =
        options.sftp ? MakeSftpToolSession(options) : MakeFtpToolSession(options);
    try {
        session->Connect();
    } catch (const std::exception& e) {
        if (options.verbose)
            ReportLine(std::string("an extra connection was refused: ") + e.what());
        return;
    }
    ++accepted_;
    if (!Drain(session->RemoteEngine()))
        return;
    try {
        session->Quit();
    } catch (const std::exception&) {
    }
}

std::optional<TPoolFile> TToolConnectionPool::Take(std::size_t worker)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !queue_.empty() || finished_; });
    std::string& own = workFolders_[worker];
    if (queue_.empty()) {
        own.clear();
        return std::nullopt;
    }
    std::vector<std::string> others = workFolders_;
    others.erase(others.begin() + std::ptrdiff_t(worker));
    const auto next = NextByFolder(queue_.begin(), queue_.end(), own, others,
                                   [](const TPoolFile& waiting) { return FolderOfPath(waiting.remotePath); },
                                   [](const TPoolFile&) { return true; });
    TPoolFile file = std::move(*next);
    queue_.erase(next);
    own = FolderOfPath(file.remotePath);
    return file;
}

bool TToolConnectionPool::Drain(TRemoteEngine& engine)
{
    // The folder whose uploads' checks wait on this engine.
    std::optional<std::string> checksWaiting;
    const auto settle = [&] {
        if (!checksWaiting)
            return;
        try {
            SettleUploadChecks(engine, tally_);
        } catch (const std::exception& e) {
            // The files arrived, only whether as sent is not known, as when the server gives
            // no size for a single upload's check.
            ReportLine("not verified: the uploads into " + *checksWaiting + " could not be checked: " + e.what());
        }
        checksWaiting.reset();
    };
    std::size_t worker = 0;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        worker = workFolders_.size();
        workFolders_.emplace_back();
    }
    while (std::optional<TPoolFile> taken = Take(worker)) {
        TPoolFile& file = *taken;
        const std::string folder(FolderOfPath(file.remotePath));
        if (!file.checkBatched || checksWaiting != folder)
            settle();
        if (file.checkBatched) {
            engine.DeferUploadChecks();
            checksWaiting = folder;
        }
        if (!MoveFile(engine, file, tally_)) {
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                workFolders_[worker].clear();
            }
            Add(std::move(file));
            return false;
        }
    }
    settle();
    return true;
}
