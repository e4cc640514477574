#pragma once
#include "ftp/IdAbortSignal.h"
#include "ftp/IdFTP.h"

#include <QObject>
#include <QThread>

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

    // Runs job(engine) on the engine's thread and returns its result here, or raises its error
    // here. The window's events are handled meanwhile; a job asked for by one of them while
    // another runs is refused with EIdCommandInProgress.
    template <class Job>
    auto Run(Job&& job) -> std::invoke_result_t<Job&, TIdFTP&>;
    // The same, but while another job runs it waits for that job's end instead: for ending the
    // session, which may come at any time.
    void RunAfterCurrent(const std::function<void(TIdFTP&)>& job);

    // From the engine's thread: runs call on the window's thread, after what was posted before.
    void Post(std::function<void()> call);
    // From the engine's thread: runs question on the window's thread and waits for its answer.
    bool Ask(std::function<bool()> question);

    // Ends the running data transfer from any thread, within TIdAbortSignal::SliceMs.
    void RequestAbort() { abortSignal_.Request(); }
    // Runs on the window's thread after a request has ended a transfer.
    void SetAbortTakenHandler(std::function<void()> handler);
    // Runs on the window's thread as a job starts, before the window's events are handled.
    void SetJobStartHandler(std::function<void()> handler) { jobStart_ = std::move(handler); }
    // Takes what a posted call raised, on the window's thread: no error may unwind into the
    // event loop.
    void SetPostedErrorHandler(std::function<void(std::exception_ptr)> handler);

    // A job is running.
    bool Running() const { return pendingJobs_ > 0; }
    // The connection as of the last job's end or the last disconnect notification.
    bool Connected() const { return connected_; }
    void NoteDisconnected() { connected_ = false; }
    // The engine's name encoding as of the last job's end.
    const TNameCodec& NameCodec() const { return codec_; }

private:
    void RunOnEngineThread(const std::function<void()>& job);
    void RunAndWait(const std::function<void()>& job);
    // Runs the posted calls in order on the window's thread.
    void Drain();

    TIdFTP engine_;
    TIdAbortSignal abortSignal_;
    QThread thread_;
    // Lives on thread_: jobs are posted to it.
    QObject* engineContext_;
    // Lives on the window's thread: posted calls are delivered to it.
    QObject windowContext_;

    std::mutex postedMutex_;
    std::deque<std::function<void()>> posted_;
    bool drainPosted_ = false;
    std::function<void(std::exception_ptr)> postedError_;
    std::function<void()> jobStart_;

    int pendingJobs_ = 0;
    bool connected_ = false;
    TNameCodec codec_;
};

template <class Job>
auto TSessionService::Run(Job&& job) -> std::invoke_result_t<Job&, TIdFTP&>
{
    using Result = std::invoke_result_t<Job&, TIdFTP&>;
    if constexpr (std::is_void_v<Result>) {
        RunOnEngineThread([&] { job(engine_); });
    } else {
        std::optional<Result> result;
        RunOnEngineThread([&] { result.emplace(job(engine_)); });
        return std::move(*result);
    }
}
