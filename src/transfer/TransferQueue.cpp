#include "transfer/TransferQueue.h"

#include "service/ConnectionPool.h"
#include "service/FolderAffinity.h"
#include "service/LocalPaths.h"
#include "service/SessionService.h"
#include "transfer/FileStepSide.h"
#include "transfer/TransferProgress.h"
#include "transfer/TransferRules.h"
#include "transfer/WorkReport.h"

#include <QFileInfo>
#include <QLocale>

#include <algorithm>

namespace {

constexpr int TotalsSpacingMs = 200;
constexpr int LoginTimeoutMs = 30000;

QString RemotePathShown(const TWalkFolders& folders, const QString& name)
{
    QString folder = folders.remoteShown.isEmpty() ? QString::fromUtf8(folders.remote) : folders.remoteShown;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + name;
}

}  // namespace

TTransferQueue::TTransferQueue(Sources sources)
    : sources_(std::move(sources)), pool_({.session = sources_.session, .dialogue = sources_.dialogue})
{
    totalsTimer_.setInterval(TotalsSpacingMs);
    QObject::connect(&totalsTimer_, &QTimer::timeout, [this] { ShowTotals(); });
}

TTransferQueue::~TTransferQueue() = default;

bool TTransferQueue::Parallel() const
{
    return sources_.connections() >= 2;
}

void TTransferQueue::Add(TQueuedFile file)
{
    TQueueRow row;
    row.id = nextId_++;
    const QString& name = file.file.name;
    const QString received = TransformName(file.settings.nameTransform, name);
    row.localPath = LocalEntryPath(file.folders.local, file.upload ? name : received);
    row.remotePath = RemotePathShown(file.folders, file.upload ? received : name);
    if (file.upload)
        row.size = QFileInfo(row.localPath).size();
    else if (file.file.sizeKnown)
        row.size = file.file.size;
    row.file = std::move(file);
    model_.Append(std::move(row));
    Pump();
}

void TTransferQueue::Pump()
{
    const int wanted = std::clamp(sources_.connections(), 1, 8);
    const auto isWaiting = [](const TQueueRow& row) { return row.state == TQueueState::Waiting; };
    if (!runActive_) {
        if (std::none_of(model_.Rows().begin(), model_.Rows().end(), isWaiting))
            return;
        runActive_ = true;
        ++run_;
        uploaded_ = downloaded_ = false;
        for (TSlot& slot : slots_)
            slot.retired = false;
        if (sources_.showProgress()) {
            sources_.progress.CreateProgressWindow();
            sources_.progress.ShowProgressWindow();
        }
        totalsTimer_.start();
    }
    pool_.Prepare(std::max(wanted, int(slots_.size())));
    while (int(slots_.size()) < pool_.Size()) {
        slots_.emplace_back();
        Follow(int(slots_.size()) - 1);
    }
    auto waiting = model_.Rows().begin();
    for (std::size_t round = 0; round < FilesPerConnection; ++round)
        for (int slot = 0; slot < wanted; ++slot) {
            const TSlot& taking = slots_[std::size_t(slot)];
            if (taking.rows.size() > round || taking.retired || taking.settling)
                continue;
            waiting = std::find_if(waiting, model_.Rows().end(), isWaiting);
            if (waiting == model_.Rows().end())
                break;
            const auto next = NextByFolder(waiting, model_.Rows().end(), taking.workFolder, FoldersWorkedBesides(slot),
                                           [](const TQueueRow& row) -> const QByteArray& { return row.file.folders.remote; },
                                           isWaiting);
            Start(slot, *model_.Find(next->id));
        }
    for (int slot = 0; slot < int(slots_.size()); ++slot)
        SettleIdle(slot);
    const bool anyRunning = std::any_of(slots_.begin(), slots_.end(),
                                        [](const TSlot& slot) { return !slot.rows.empty() || slot.settling; });
    if (anyRunning)
        return;
    // Files still waiting have no connection left that could take them.
    for (const TQueueRow& row : model_.Rows())
        if (row.state == TQueueState::Waiting)
            End(*model_.Find(row.id), TQueueState::Failed, loginRefusal_);
    EndRun();
}

std::vector<QByteArray> TTransferQueue::FoldersWorkedBesides(int slot) const
{
    std::vector<QByteArray> folders;
    for (int other = 0; other < int(slots_.size()); ++other)
        if (other != slot && !slots_[std::size_t(other)].rows.empty())
            folders.push_back(slots_[std::size_t(other)].workFolder);
    return folders;
}

void TTransferQueue::Start(int slot, TQueueRow& row)
{
    row.state = TQueueState::Running;
    row.run = run_;
    row.connection = slot;
    row.reason.clear();
    row.bytesDone = 0;
    row.speed = 0;
    row.abortRequested = false;
    row.cancelled->store(false);
    row.started = std::chrono::steady_clock::now();
    row.begun = false;
    (row.file.upload ? uploaded_ : downloaded_) = true;
    slots_[std::size_t(slot)].rows.push_back(row.id);
    slots_[std::size_t(slot)].workFolder = row.file.folders.remote;
    model_.Changed(row.id);
    TSessionService& connection = pool_.Connection(slot);
    connection.ForgetAbort();
    // After a job still ending there, such as the logout of a session that ended.
    connection.Submit(
        [this, &connection, &taking = slots_[std::size_t(slot)], slot, id = row.id, file = row.file,
         cancelled = row.cancelled, codec = sources_.session.NameCodec()](TRemoteEngine& engine) {
            // A request still pending was meant for the file before, which ended without taking
            // it; one meant for this file is in `cancelled`, set before the request is made.
            connection.ForgetAbort();
            TJobOutcome outcome;
            if (cancelled->load()) {
                outcome.result = {TJobKind::Aborted, 0, QStringLiteral("中止されました")};
                outcome.checksWaiting = !taking.batch.rows.empty();
            } else {
                outcome = RunOnConnection(connection, engine, taking, id, file, codec);
            }
            connection.Post([this, slot, id, outcome] { Finished(slot, id, outcome); });
        },
        true);
}

TTransferQueue::TJobOutcome TTransferQueue::RunOnConnection(TSessionService& connection, TRemoteEngine& engine,
                                                            TSlot& slot, int id, const TQueuedFile& file,
                                                            const TNameCodec& codec)
{
    TJobOutcome outcome;
    const std::string wanted = file.folders.remote.toStdString();
    // A new login forgets what the engine held: checks left from before it are given up.
    if (!engine.Connected() || !file.settleChecks || wanted != slot.batch.folders.remote.toStdString())
        outcome.checks = SettleChecks(connection, engine, slot.batch);
    try {
        if (!engine.Connected())
            slot.folder.clear();
        TConnectionPool::EnsureConnected(engine, LoginTimeoutMs, codec);
    } catch (...) {
        outcome.loginFailed = true;
        outcome.result = TJobResult::FromError(std::current_exception());
        return outcome;
    }
    outcome.result = SendFile(connection, engine, slot.folder, file);
    if (file.settleChecks && outcome.result.Done()) {
        TCheckBatch& batch = slot.batch;
        if (batch.rows.empty()) {
            batch.folders = file.folders;
            batch.settings = file.settings;
            batch.settle = file.settleChecks;
        }
        batch.rows.push_back(id);
        batch.files.push_back(file.file);
    }
    outcome.checksWaiting = !slot.batch.rows.empty();
    return outcome;
}

TJobResult TTransferQueue::SendFile(TSessionService& connection, TRemoteEngine& engine, std::string& folder,
                                    const TQueuedFile& file)
{
    try {
        const std::string wanted = file.folders.remote.toStdString();
        if (folder != wanted) {
            engine.ChangeDirectory(wanted);
            folder = wanted;
        }
        // A request that came while the connection logged in or changed folder.
        if (connection.TakeAbort())
            return {TJobKind::Aborted, 0, QStringLiteral("中止されました")};
        if (file.settleChecks)
            engine.DeferUploadChecks();
        TFileStepSide side(connection, engine, file.settings);
        return sources_.runFile(file, side);
    } catch (...) {
        folder.clear();
        return TJobResult::FromError(std::current_exception());
    }
}

std::vector<TTransferQueue::TRowResult> TTransferQueue::SettleChecks(TSessionService& connection,
                                                                     TRemoteEngine& engine, TCheckBatch& batch)
{
    const TCheckBatch settling = std::exchange(batch, {});
    std::vector<TRowResult> failed;
    if (settling.rows.empty())
        return failed;
    std::vector<TJobResult> results;
    try {
        TFileStepSide side(connection, engine, settling.settings);
        results = settling.settle(settling.files, settling.folders, side);
    } catch (...) {
        // The connection broke: the files arrived, only whether as sent is not known, as when
        // the server gives no size for a single upload's check.
        const QString why = TJobResult::FromError(std::current_exception()).text;
        results.assign(settling.rows.size(), {TJobKind::Done, 0, QStringLiteral("転送後の検証ができませんでした: ") + why});
    }
    for (std::size_t index = 0; index < settling.rows.size() && index < results.size(); ++index)
        if (!results[index].Done() || !results[index].text.isEmpty())
            failed.push_back({settling.rows[index], results[index]});
    return failed;
}

void TTransferQueue::SettleIdle(int slot)
{
    const TSlot& idle = slots_[std::size_t(slot)];
    if (idle.rows.empty() && idle.checksWaiting)
        Settle(slot);
}

void TTransferQueue::Settle(int slot)
{
    TSlot& settling = slots_[std::size_t(slot)];
    if (settling.settling)
        return;
    settling.settling = true;
    TSessionService& connection = pool_.Connection(slot);
    connection.Submit(
        [this, &connection, &settling, slot](TRemoteEngine& engine) {
            const std::vector<TRowResult> checked = SettleChecks(connection, engine, settling.batch);
            connection.Post([this, slot, checked] {
                TSlot& settled = slots_[std::size_t(slot)];
                settled.settling = false;
                settled.checksWaiting = false;
                TakeChecks(checked);
                Pump();
            });
        },
        true);
}

void TTransferQueue::Finished(int slot, int id, const TJobOutcome& outcome)
{
    TSlot& finished = slots_[std::size_t(slot)];
    std::erase(finished.rows, id);
    finished.checksWaiting = outcome.checksWaiting;
    TakeChecks(outcome.checks);
    const TJobResult& result = outcome.result;
    if (TQueueRow* row = model_.Find(id)) {
        if (outcome.loginFailed) {
            // Another connection takes the file; the refusal is this connection's, not the file's.
            finished.retired = true;
            loginRefusal_ = result.text;
            row->state = TQueueState::Waiting;
            row->connection = -1;
            model_.Changed(id);
        } else {
            const TQueueState state = result.Done()                  ? TQueueState::Done
                                      : result.kind == TJobKind::Skipped ? TQueueState::Skipped
                                      : row->abortRequested || result.kind == TJobKind::Aborted
                                          ? TQueueState::Aborted
                                          : TQueueState::Failed;
            End(*row, state, result.text);
        }
    }
    Pump();
}

void TTransferQueue::TakeChecks(const std::vector<TRowResult>& checked)
{
    for (const TRowResult& check : checked) {
        TQueueRow* row = model_.Find(check.id);
        if (!row)
            continue;
        if (!check.result.Done()) {
            End(*row, TQueueState::Failed, check.result.text);
            continue;
        }
        row->reason = check.result.text;
        model_.Changed(row->id);
    }
}

void TTransferQueue::End(TQueueRow& row, TQueueState state, const QString& reason)
{
    // What moved: a resumed download moves only the part the local file lacked. A file too
    // small to report its work moved all of it.
    const std::int64_t moved = row.bytesDone > 0 ? row.bytesDone : row.size;
    if (state == TQueueState::Done && moved > 0) {
        const auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - row.started).count();
        if (elapsed > 0)
            row.speed = double(moved) / 1024 / elapsed;
    }
    row.state = state;
    row.run = run_;
    row.reason = state == TQueueState::Done ? QString() : reason;
    row.connection = -1;
    model_.Changed(row.id);
}

void TTransferQueue::Follow(int slot)
{
    TSessionService& connection = pool_.Connection(slot);
    connection.ForEachEngine([this, &connection, slot](TIdComponent& engine) {
        engine.OnWorkBegin = [this, &connection, slot](TIdComponent*, TWorkMode, std::int64_t size) {
            const auto at = std::chrono::steady_clock::now();
            connection.Report([this, slot, size, at] { WorkBegin(slot, size, at); });
        };
        engine.OnWork = [this, &connection, slot](TIdComponent*, TWorkMode, std::int64_t count) {
            const auto at = std::chrono::steady_clock::now();
            connection.Report([this, slot, count, at] { Work(slot, count, at); });
        };
    });
}

TQueueRow* TTransferQueue::RunningOn(int slot)
{
    const std::deque<int>& rows = slots_[std::size_t(slot)].rows;
    return rows.empty() ? nullptr : model_.Find(rows.front());
}

void TTransferQueue::WorkBegin(int slot, std::int64_t size, std::chrono::steady_clock::time_point at)
{
    TQueueRow* row = RunningOn(slot);
    if (!row)
        return;
    if (size > 0 && row->size < 0)
        row->size = size;
    row->started = at;
    row->begun = true;
    model_.Changed(row->id);
}

void TTransferQueue::Work(int slot, std::int64_t count, std::chrono::steady_clock::time_point at)
{
    TQueueRow* row = RunningOn(slot);
    if (!row)
        return;
    const auto elapsed = at - row->started;
    // A transfer forgets a request that came just before it started: it is asked again.
    if (row->abortRequested)
        pool_.Connection(slot).RequestAbort();
    row->bytesDone = count;
    row->speed = NextTransferSpeed(count, std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(),
                                   row->speed);
    model_.Changed(row->id);
}

void TTransferQueue::ShowTotals()
{
    std::int64_t total = 0;
    std::int64_t done = 0;
    int files = 0;
    int finished = 0;
    double speed = 0;
    QStringList moving;
    for (const TQueueRow& row : model_.Rows()) {
        if (row.Finished() && row.run != run_)
            continue;
        ++files;
        total += std::max<std::int64_t>(row.size, 0);
        if (row.Finished()) {
            ++finished;
            done += std::max<std::int64_t>(row.size, 0);
        } else if (row.state == TQueueState::Running) {
            done += row.bytesDone;
            speed += row.speed;
            if (row.Moving())
                moving << row.file.file.name;
        }
    }
    const QString movingText = moving.size() < 2 ? moving.value(0)
                                                 : QStringLiteral("%1 ほか %2 件").arg(moving.front()).arg(moving.size() - 1);
    const QLocale locale;
    sources_.progress.ShowTotals(
        QStringLiteral("転送キュー: %1 / %2 ファイル").arg(finished).arg(files), movingText,
        QStringLiteral("%1 / %2 バイト; %3 KB/s").arg(locale.toString(qlonglong(done)), locale.toString(qlonglong(total)))
            .arg(speed, 0, 'f', 2),
        done, total);
}

void TTransferQueue::EndRun()
{
    if (!runActive_)
        return;
    runActive_ = false;
    totalsTimer_.stop();
    sources_.progress.DestroyProgressWindow();
    sources_.relist(uploaded_, downloaded_);
}

void TTransferQueue::AbortRow(int id)
{
    TQueueRow* row = model_.Find(id);
    if (!row || row->Finished())
        return;
    if (row->state == TQueueState::Waiting) {
        End(*row, TQueueState::Aborted, QStringLiteral("中止されました"));
        return;
    }
    row->abortRequested = true;
    row->cancelled->store(true);
    if (RunningOn(row->connection) == row)
        pool_.Connection(row->connection).RequestAbort();
}

void TTransferQueue::AbortAll()
{
    for (const TQueueRow& row : model_.Rows())
        AbortRow(row.id);
}

void TTransferQueue::RetryFailed()
{
    for (const TQueueRow& row : model_.Rows())
        if (Retryable(row)) {
            TQueueRow& again = *model_.Find(row.id);
            again.state = TQueueState::Waiting;
            again.reason.clear();
            model_.Changed(row.id);
        }
    Pump();
}

void TTransferQueue::RemoveFinished()
{
    model_.RemoveFinished();
}

void TTransferQueue::SessionEnded()
{
    for (const TQueueRow& row : model_.Rows())
        if (row.state == TQueueState::Waiting)
            End(*model_.Find(row.id), TQueueState::Aborted, QStringLiteral("セッションが終了しました"));
    for (const TQueueRow& row : model_.Rows())
        if (row.state == TQueueState::Running) {
            TQueueRow& running = *model_.Find(row.id);
            running.abortRequested = true;
            running.cancelled->store(true);
        }
    // A file that arrived is not left counted as sent unchecked; the checks go before the QUIT.
    for (int slot = 0; slot < int(slots_.size()); ++slot)
        Settle(slot);
    pool_.Close();
}
