#pragma once
#include "ftp/IdAbortSignal.h"
#include "ftp/IdFTP.h"

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

// The control connection's engine on a thread of its own, so that no wait for the network
// holds the window. The window hands it jobs; what the engine reports while it works reaches
// the window's thread in the order it happened, always before the end of the job that caused it.
class TSessionService {
public:
    TSessionService();
    ~TSessionService();
    TSessionService(const TSessionService&) = delete;
    TSessionService& operator=(const TSessionService&) = delete;

    // The engine's settings and handlers, set between jobs. Handlers run on the engine's
    // thread: they hand their work to the window with Post or Ask.
    TIdFTP& Engine() { return engine_; }

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
    // The same for the frequent reports of a running job (a transfer's work events): they are
    // run in batches every ProgressSpacing rather than waking the window for each.
    void PostProgress(std::function<void()> call);
    static constexpr int ProgressSpacingMs = 10;
    // From the engine's thread: runs question on the window's thread and waits for its answer.
    bool Ask(std::function<bool()> question);

    // Ends the running data transfer from any thread, within TIdAbortSignal::SliceMs.
    void RequestAbort() { abortSignal_.Request(); }
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
    void NoteDisconnected() { connected_ = false; }
    // The engine's name encoding as of the last job's end.
    const TNameCodec& NameCodec() const { return codec_; }

private:
    template <class Result>
    friend class TJobAwaiter;
    // Runs work on the engine's thread, then finish(its error) here.
    void Start(std::function<void()> work, std::function<void(std::exception_ptr)> finish, bool afterCurrent);
    void Enqueue(std::function<void()> call, bool wake);
    // Runs the posted calls in order on the window's thread.
    void Drain();

    TIdFTP engine_;
    TIdAbortSignal abortSignal_;
    QThread thread_;
    // Lives on thread_: jobs are posted to it.
    QObject* engineContext_;
    // Lives on the window's thread: posted calls are delivered to it.
    QObject windowContext_;
    // Runs the progress reports while jobs are pending.
    QTimer* progressTimer_;

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

    int pendingJobs_ = 0;
    std::atomic<int> waitingAfterCurrent_ = 0;
    bool connected_ = false;
    TNameCodec codec_;
};

template <class Result>
class [[nodiscard]] TJobAwaiter {
public:
    TJobAwaiter(TSessionService& service, std::function<Result(TIdFTP&)> job, bool afterCurrent)
        : service_(service), job_(std::move(job)), afterCurrent_(afterCurrent)
    {
    }
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> waiting)
    {
        service_.Start(
            [this] {
                if constexpr (std::is_void_v<Result>)
                    job_(service_.Engine());
                else
                    value_.emplace(job_(service_.Engine()));
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
    std::function<Result(TIdFTP&)> job_;
    bool afterCurrent_;
    std::optional<TValue> value_;
    std::exception_ptr error_;
};

template <class Job>
auto TSessionService::Run(Job job)
{
    static_assert(std::is_trivially_destructible_v<Job>, "capture by reference: the command's frame outlives the job");
    using Result = std::invoke_result_t<Job&, TIdFTP&>;
    return TJobAwaiter<Result>(*this, std::move(job), false);
}

template <class Job>
auto TSessionService::RunAfterCurrent(Job job)
{
    static_assert(std::is_trivially_destructible_v<Job>, "capture by reference: the command's frame outlives the job");
    using Result = std::invoke_result_t<Job&, TIdFTP&>;
    return TJobAwaiter<Result>(*this, std::move(job), true);
}

template <class Job>
void TSessionService::Submit(Job job, bool afterCurrent)
{
    Start([this, job = std::move(job)]() mutable { job(engine_); },
          [](std::exception_ptr error) {
              if (error)
                  std::rethrow_exception(error);
          },
          afterCurrent);
}
