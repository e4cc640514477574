#include "service/SessionService.h"

#include "ftp/IdException.h"

#include <QMetaObject>

TSessionService::TSessionService() : engineContext_(new QObject), reportTimer_(new QTimer(&windowContext_))
{
    reportTimer_->setInterval(ReportSpacingMs);
    QObject::connect(reportTimer_, &QTimer::timeout, &windowContext_, [this] { Drain(); });
    ftp_.AbortSignal = &abortSignal_;
    // FTP tells of the end of its connection as it happens, also of one that never got to a
    // session; SFTP's is seen at the end of the job.
    ftp_.OnDisconnected = [this](TIdTCPConnection*) {
        Post([this] {
            connected_ = false;
            if (disconnected_)
                disconnected_();
        });
    };
    codec_ = engine_->NameCodec();
    thread_.setObjectName(QStringLiteral("engine"));
    engineContext_->moveToThread(&thread_);
    thread_.start();
}

TSessionService::~TSessionService()
{
    Stop();
    delete engineContext_;
    // What the engines' notifications still point at is going away with the window.
    ftp_.OnDisconnected = nullptr;
    ftp_.Intercept = nullptr;
    ForEachEngine([](TIdComponent& engine) {
        engine.OnStatus = nullptr;
        engine.OnWorkBegin = nullptr;
        engine.OnWork = nullptr;
        engine.OnWorkEnd = nullptr;
    });
    ftp_.DropSocket();
    sftp_.Disconnect();
}

void TSessionService::ForEachEngine(const std::function<void(TIdComponent&)>& visit)
{
    visit(ftp_);
    visit(sftp_);
}

void TSessionService::UseSftp(bool sftp)
{
    engine_ = sftp ? static_cast<TRemoteEngine*>(&sftpJobs_) : &ftpJobs_;
    codec_ = engine_->NameCodec();
}

void TSessionService::RequestAbort()
{
    abortSignal_.Request();
    sftp_.Abort();
}

void TSessionService::NoteEnd(bool connected)
{
    const bool ended = connected_ && !connected;
    connected_ = connected;
    if (ended && disconnected_)
        disconnected_();
}

void TSessionService::SetPostedErrorHandler(std::function<void(std::exception_ptr)> handler)
{
    postedError_ = std::move(handler);
}

void TSessionService::Start(std::function<void(TRemoteEngine&)> work, std::function<void(std::exception_ptr)> finish,
                           bool afterCurrent)
{
    if (!afterCurrent && Running())
        throw EIdCommandInProgress();
    if (pendingJobs_++ == 0)
        reportTimer_->start();
    if (afterCurrent)
        ++waitingAfterCurrent_;
    if (jobStart_) {
        try {
            jobStart_();
        } catch (...) {
            if (--pendingJobs_ == 0)
                reportTimer_->stop();
            throw;
        }
    }
    // Jobs queue on the engine's thread in the order they were submitted. The engine's state is
    // taken over at each job's end, in the order the jobs ended.
    TRemoteEngine& engine = *engine_;
    QMetaObject::invokeMethod(engineContext_, [this, &engine, work = std::move(work), finish = std::move(finish),
                                               afterCurrent] {
        std::exception_ptr error;
        try {
            work(engine);
        } catch (...) {
            error = std::current_exception();
        }
        Post([this, finish, error, afterCurrent, connected = engine.Connected(), codec = engine.NameCodec()] {
            NoteEnd(connected);
            codec_ = codec;
            if (--pendingJobs_ == 0)
                reportTimer_->stop();
            if (afterCurrent)
                --waitingAfterCurrent_;
            finish(error);
        });
    });
}

void TSessionService::Stop()
{
    if (thread_.isFinished())
        return;
    // The running job is asked to end; jobs submitted after it (the session's end) still run.
    abortSignal_.Request();
    QMetaObject::invokeMethod(engineContext_, [this] { thread_.quit(); });
    {
        // A question no one is left to answer ends the job that asked it.
        std::lock_guard lock(postedMutex_);
        stopped_ = true;
        posted_.clear();
        if (question_)
            question_->set_exception(std::make_exception_ptr(EIdException("The window has closed")));
        question_ = nullptr;
    }
    thread_.wait();
    std::lock_guard lock(postedMutex_);
    posted_.clear();
    taken_.clear();
}

bool TSessionService::Idle()
{
    std::lock_guard lock(postedMutex_);
    return pendingJobs_ == 0 && posted_.empty() && taken_.empty() && !drainPosted_;
}

void TSessionService::Post(std::function<void()> call)
{
    Enqueue(std::move(call), true);
}

void TSessionService::Report(std::function<void()> call)
{
    Enqueue(std::move(call), false);
}

void TSessionService::Enqueue(std::function<void()> call, bool wake)
{
    std::lock_guard lock(postedMutex_);
    if (stopped_)
        return;
    posted_.push_back(std::move(call));
    if (!wake || drainPosted_)
        return;
    drainPosted_ = true;
    QMetaObject::invokeMethod(&windowContext_, [this] { Drain(); }, Qt::QueuedConnection);
}

bool TSessionService::Ask(std::function<bool()> question)
{
    std::promise<bool> answer;
    std::future<bool> answered = answer.get_future();
    {
        std::lock_guard lock(postedMutex_);
        if (stopped_)
            throw EIdException("The window has closed");
        question_ = &answer;
    }
    Post([this, &question, &answer] {
        bool value = false;
        std::exception_ptr error;
        try {
            value = question();
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(postedMutex_);
        if (question_ != &answer)
            return;
        question_ = nullptr;
        if (error)
            answer.set_exception(error);
        else
            answer.set_value(value);
    });
    return answered.get();
}

void TSessionService::Drain()
{
    // One call at a time: a call that opens a dialog lets later calls run from its loop, and
    // they must still come after the ones before them. The calls are taken over in batches, so
    // a transfer's thousands of reports do not meet the engine's thread at the lock one by one.
    for (;;) {
        if (taken_.empty()) {
            std::lock_guard lock(postedMutex_);
            if (posted_.empty()) {
                drainPosted_ = false;
                return;
            }
            taken_.swap(posted_);
        }
        const std::function<void()> call = std::move(taken_.front());
        taken_.pop_front();
        try {
            call();
        } catch (...) {
            if (postedError_)
                postedError_(std::current_exception());
        }
    }
}
