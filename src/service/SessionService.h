#pragma once
#include "ftp/IdAbortSignal.h"
#include "ftp/IdFTP.h"
#include "service/FtpRemoteEngine.h"
#include "service/SftpRemoteEngine.h"
#include "sftp/SftpSession.h"

#include <QObject>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <coroutine>
#include <deque>
#include <exception>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <type_traits>

// The session's engines, FTP and SFTP, on a thread of their own, so that no wait for the network
// holds the window. The window hands it jobs, which get the engine chosen for the session; what
// the engine reports while it works reaches the window's thread in the order it happened, always
// before the end of the job that caused it.
class TSessionService {
public:
    TSessionService();
    ~TSessionService();
    TSessionService(const TSessionService&) = delete;
    TSessionService& operator=(const TSessionService&) = delete;

    // The engines' settings and handlers, set between jobs. Handlers run on the engine's
    // thread: they hand their work to the window with Post or Ask.
    TIdFTP& Ftp() { return ftp_; }
    TSftpSession& Sftp() { return sftp_; }
    // Both engines, for the notifications they give alike (status texts, work events).
    void ForEachEngine(const std::function<void(TIdComponent&)>& visit);
    // Between jobs, while no session is open: which engine the jobs get from now on.
    void UseSftp(bool sftp);
    bool UsesSftp() const { return engine_ == &sftpJobs_; }
    // The engine the jobs get. Its operations belong on the engine's thread.
    TRemoteEngine& Engine() { return *engine_; }

    // In a command: `co_await service.Run(job)` runs job(engine) on the engine's thread while the
    // window's thread goes on, and gives the job's result or raises its error once everything the
    // job posted has run. A job asked for while another runs is refused with
    // EIdCommandInProgress.
    template <class Job>
    auto Run(Job job);
    // The same, but while another job runs it waits for that job's end instead: for ending the
    // session, which may come at any time.
    template <class Job>
    auto RunAfterCurrent(Job job);
    // Starts a job no command waits for; its error goes to the posted-error handler. The
    // service's end waits for a job submitted after the current one.
    template <class Job>
    void Submit(Job job, bool afterCurrent = false);
    // Stops the engine's thread once the jobs submitted so far have ended (the running one is
    // asked to end) and drops what they posted: for the window's end.
    void Stop();

    // From the engine's thread: runs call on the window's thread, after what was posted before.
    void Post(std::function<void()> call);
    // The same for what a running job reports (dialogue and status lines, work events): these
    // run in batches every ReportSpacingMs, or just before the next call that wakes the window
    // (at the latest the job's end), instead of waking it for each. A file costs the window one
    // pass of its event loop rather than ten.
    void Report(std::function<void()> call);
    static constexpr int ReportSpacingMs = 10;
    // From the engine's thread: runs question on the window's thread and waits for its answer.
    bool Ask(std::function<bool()> question);

    // Ends the running data transfer from any thread, within TIdAbortSignal::SliceMs (FTP) or
    // 250 ms (SFTP).
    void RequestAbort();
    // Any thread: consumes a request no transfer has taken (it came between two transfers): a
    // command of several files stops at its next one. A transfer's start forgets it too.
    bool TakeAbort() { return abortSignal_.Take(); }
    void ForgetAbort() { abortSignal_.Clear(); }
    // Runs on the window's thread as a job is submitted.
    void SetJobStartHandler(std::function<void()> handler) { jobStart_ = std::move(handler); }
    // Takes what a posted call raised, on the window's thread: no error may unwind into the
    // event loop.
    void SetPostedErrorHandler(std::function<void(std::exception_ptr)> handler);

    // A job is running or waits its turn.
    bool Running() const { return pendingJobs_ > 0; }
    // Any thread: a job submitted after the current one waits, so the session is ending, and a
    // command of several jobs stops.
    bool SessionEnding() const { return waitingAfterCurrent_ > 0; }
    // No job is pending and everything posted has run.
    bool Idle();
    // The connection as of the last job's end or the last disconnect notification.
    bool Connected() const { return connected_; }
    // Runs on the window's thread once a session that was open has ended: the server closed
    // it, it broke, or a job ended it.
    void SetDisconnectHandler(std::function<void()> handler) { disconnected_ = std::move(handler); }
    // The engine's name encoding as of the last job's end.
    const TNameCodec& NameCodec() const { return codec_; }

private:
    template <class Result>
    friend class TJobAwaiter;
    // Runs work on the engine's thread with the engine chosen now, then finish(its error) here.
    void Start(std::function<void(TRemoteEngine&)> work, std::function<void(std::exception_ptr)> finish,
               bool afterCurrent);
    // Takes over the engine's connection state at a job's end; a session that ended there
    // raises the disconnect handler.
    void NoteEnd(bool connected);
    void Enqueue(std::function<void()> call, bool wake);
    // Runs the posted calls in order on the window's thread.
    void Drain();

    TIdFTP ftp_;
    TSftpSession sftp_;
    TIdAbortSignal abortSignal_;
    TFtpRemoteEngine ftpJobs_{ftp_};
    TSftpRemoteEngine sftpJobs_{sftp_, abortSignal_};
    TRemoteEngine* engine_ = &ftpJobs_;
    QThread thread_;
    // Lives on thread_: jobs are posted to it.
    QObject* engineContext_;
    // Lives on the window's thread: posted calls are delivered to it.
    QObject windowContext_;
    // Runs the progress reports while jobs are pending.
    QTimer* reportTimer_;

    std::mutex postedMutex_;
    std::deque<std::function<void()>> posted_;
    // Taken from posted_ by the window's thread, still to run.
    std::deque<std::function<void()>> taken_;
    bool drainPosted_ = false;
    bool stopped_ = false;
    // The answer the engine's thread waits for, if any.
    std::promise<bool>* question_ = nullptr;
    std::function<void(std::exception_ptr)> postedError_;
    std::function<void()> jobStart_;
    std::function<void()> disconnected_;

    int pendingJobs_ = 0;
    std::atomic<int> waitingAfterCurrent_ = 0;
    bool connected_ = false;
    TNameCodec codec_;
};

template <class Result>
class [[nodiscard]] TJobAwaiter {
public:
    TJobAwaiter(TSessionService& service, std::function<Result(TRemoteEngine&)> job, bool afterCurrent)
        : service_(service), job_(std::move(job)), afterCurrent_(afterCurrent)
    {
    }
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> waiting)
    {
        service_.Start(
            [this](TRemoteEngine& engine) {
                if constexpr (std::is_void_v<Result>)
                    job_(engine);
                else
                    value_.emplace(job_(engine));
            },
            [this, waiting](std::exception_ptr error) {
                error_ = error;
                waiting.resume();
            },
            afterCurrent_);
    }
    Result await_resume()
    {
        if (error_)
            std::rethrow_exception(error_);
        if constexpr (!std::is_void_v<Result>)
            return std::move(*value_);
    }

private:
    using TValue = std::conditional_t<std::is_void_v<Result>, bool, Result>;
    TSessionService& service_;
    std::function<Result(TRemoteEngine&)> job_;
    bool afterCurrent_;
    std::optional<TValue> value_;
    std::exception_ptr error_;
};

template <class Job>
auto TSessionService::Run(Job job)
{
    static_assert(std::is_trivially_destructible_v<Job>, "capture by reference: the command's frame outlives the job");
    using Result = std::invoke_result_t<Job&, TRemoteEngine&>;
    return TJobAwaiter<Result>(*this, std::move(job), false);
}

template <class Job>
auto TSessionService::RunAfterCurrent(Job job)
{
    static_assert(std::is_trivially_destructible_v<Job>, "capture by reference: the command's frame outlives the job");
    using Result = std::invoke_result_t<Job&, TRemoteEngine&>;
    return TJobAwaiter<Result>(*this, std::move(job), true);
}

template <class Job>
void TSessionService::Submit(Job job, bool afterCurrent)
{
    Start([job = std::move(job)](TRemoteEngine& engine) mutable { job(engine); },
          [](std::exception_ptr error) {
              if (error)
                  std::rethrow_exception(error);
          },
          afterCurrent);
}
