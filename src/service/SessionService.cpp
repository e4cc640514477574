#include "service/SessionService.h"

#include "ftp/IdException.h"

#include <QEventLoop>
#include <QMetaObject>

TSessionService::TSessionService() : engineContext_(new QObject)
{
    engine_.AbortSignal = &abortSignal_;
    codec_ = engine_.NameCodec;
    thread_.setObjectName(QStringLiteral("engine"));
    engineContext_->moveToThread(&thread_);
    thread_.start();
}

TSessionService::~TSessionService()
{
    abortSignal_.Request();
    thread_.quit();
    thread_.wait();
    delete engineContext_;
    // What the engine's notifications still point at is going away with the window.
    engine_.OnDisconnected = nullptr;
    engine_.OnStatus = nullptr;
    engine_.Intercept = nullptr;
    engine_.DropSocket();
}

void TSessionService::SetAbortTakenHandler(std::function<void()> handler)
{
    abortSignal_.OnTaken = [this, handler = std::move(handler)] { Post(handler); };
}

void TSessionService::SetPostedErrorHandler(std::function<void(std::exception_ptr)> handler)
{
    postedError_ = std::move(handler);
}

void TSessionService::RunOnEngineThread(const std::function<void()>& job)
{
    if (Running())
        throw EIdCommandInProgress();
    RunAndWait(job);
}

void TSessionService::RunAfterCurrent(const std::function<void(TIdFTP&)>& job)
{
    RunAndWait([&] { job(engine_); });
}

void TSessionService::RunAndWait(const std::function<void()>& job)
{
    ++pendingJobs_;
    if (jobStart_) {
        try {
            jobStart_();
        } catch (...) {
            --pendingJobs_;
            throw;
        }
    }
    struct TOutcome {
        bool done = false;
        std::exception_ptr error;
    } outcome;
    QEventLoop loop;
    // The job and the loop live on this frame, which waits for the job's end. The engine's
    // state is taken over at that end, in the order the jobs ended.
    QMetaObject::invokeMethod(engineContext_, [this, &job, &outcome, &loop] {
        try {
            job();
        } catch (...) {
            outcome.error = std::current_exception();
        }
        Post([this, &outcome, &loop, connected = engine_.Connected(), codec = engine_.NameCodec] {
            connected_ = connected;
            codec_ = codec;
            --pendingJobs_;
            outcome.done = true;
            loop.quit();
        });
    });
    if (!outcome.done)
        loop.exec();
    if (outcome.error)
        std::rethrow_exception(outcome.error);
}

void TSessionService::Post(std::function<void()> call)
{
    std::lock_guard lock(postedMutex_);
    posted_.push_back(std::move(call));
    if (drainPosted_)
        return;
    drainPosted_ = true;
    QMetaObject::invokeMethod(&windowContext_, [this] { Drain(); }, Qt::QueuedConnection);
}

bool TSessionService::Ask(std::function<bool()> question)
{
    std::promise<bool> answer;
    std::future<bool> answered = answer.get_future();
    Post([&question, &answer] {
        try {
            answer.set_value(question());
        } catch (...) {
            answer.set_exception(std::current_exception());
        }
    });
    return answered.get();
}

void TSessionService::Drain()
{
    // One call at a time: a call that opens a dialog lets later calls run from its loop, and
    // they must still come after the ones before them.
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard lock(postedMutex_);
            if (posted_.empty()) {
                drainPosted_ = false;
                return;
            }
            call = std::move(posted_.front());
            posted_.pop_front();
        }
        try {
            call();
        } catch (...) {
            if (postedError_)
                postedError_(std::current_exception());
        }
    }
}
