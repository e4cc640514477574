#include "ftp/IdException.h"
#include "service/Command.h"
#include "service/ExceptionGuard.h"
#include "service/SessionService.h"
#include "support/ServiceJobs.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

bool OnWindowThread()
{
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

std::string Message(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    }
}

// A command of two jobs, the second using the first's result, noting each step.
TTask<> TwoSteps(TSessionService& service, std::vector<std::string>& seen)
{
    seen.push_back("start");
    const int first = co_await service.Run([&](TRemoteEngine&) {
        service.Post([&seen] { seen.push_back(OnWindowThread() ? "posted" : "posted elsewhere"); });
        return OnWindowThread() ? -1 : 20;
    });
    seen.push_back("first " + std::to_string(first));
    const int second = co_await service.Run([first](TRemoteEngine&) { return first + 22; });
    seen.push_back("second " + std::to_string(second));
}

TTask<> FailingStep(TSessionService& service)
{
    co_await service.Run([](TRemoteEngine&) -> int { throw EIdConnClosedGracefully(); });
}

}  // namespace

// A command hands the window's thread back while its job runs on the engine's thread; what the
// job posted runs before the command goes on; the command's steps come in order.
TEST(SessionService, ACommandAwaitsItsJobsWithoutHoldingTheWindow)
{
    TSessionService service;
    std::vector<std::string> seen;
    Launch(TwoSteps(service, seen));
    // Returned at the first await: the job runs elsewhere.
    EXPECT_EQ(seen, (std::vector<std::string>{"start"}));
    EXPECT_TRUE(service.Running());
    WaitForService(service);
    EXPECT_EQ(seen, (std::vector<std::string>{"start", "posted", "first 20", "second 42"}));
    EXPECT_FALSE(service.Running());
}

// A job's error is raised at the await with its type; what the command does not catch reaches
// the application's handler, what a posted call raises the posted calls' handler. A second job
// while one runs is refused; the session's end waits its turn; the window's events go on meanwhile.
TEST(SessionService, ErrorsReachTheirHandlersTheWindowRunsMeanwhileAndOnlyTheSessionsEndMayWaitItsTurn)
{
    TSessionService service;
    EXPECT_THROW(RunJob(service, [](TRemoteEngine&) { throw EIdConnClosedGracefully(); }), EIdConnClosedGracefully);
    int caught = 0;
    SetUncaughtExceptionHandler([&caught](std::exception_ptr) { ++caught; });
    Launch(FailingStep(service));
    WaitForService(service);
    SetUncaughtExceptionHandler({});
    EXPECT_EQ(caught, 1);

    // The posted calls after one that raised still run.
    std::vector<std::string> seen;
    service.SetPostedErrorHandler([&](std::exception_ptr error) { seen.push_back(Message(error)); });
    RunJob(service, [&](TRemoteEngine&) {
        service.Post([] { throw std::runtime_error("broken"); });
        service.Post([&] { seen.push_back("after"); });
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"broken", "after"}));

    std::vector<std::string> order;
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(5);
    service.Submit([&](TRemoteEngine&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        order.push_back("first");
    });
    EXPECT_THROW(RunJob(service, [](TRemoteEngine&) {}), EIdCommandInProgress);
    service.Submit([&](TRemoteEngine&) { order.push_back("after"); }, true);
    order.push_back("returned");
    WaitForService(service);
    ticker.stop();
    EXPECT_EQ(order, (std::vector<std::string>{"returned", "first", "after"}));
    EXPECT_GE(ticks, 10);

    bool askedOnWindowThread = false;
    EXPECT_TRUE(RunJob(service, [&](TRemoteEngine&) {
        return service.Ask([&] {
            askedOnWindowThread = OnWindowThread();
            return true;
        });
    }));
    EXPECT_TRUE(askedOnWindowThread);

}

// The window going away while a job waits for its question and a command waits for that job:
// the question ends the job, the job submitted after it still runs, and the waiting command's
// frame is released without going on.
TEST(SessionService, StoppingEndsAnUnansweredQuestionRunsTheSessionsEndAndReleasesWaitingCommands)
{
    auto service = std::make_unique<TSessionService>();
    std::vector<std::string> seen;
    std::atomic<bool> asked = false;
    std::atomic<bool> ended = false;
    std::weak_ptr<int> held;
    const auto command = [](TSessionService& s, std::vector<std::string>& steps, std::atomic<bool>& questionAsked,
                            std::weak_ptr<int>& frameHolds) -> TTask<> {
        const auto part = std::make_shared<int>(0);
        frameHolds = part;
        steps.push_back("before");
        co_await s.Run([&](TRemoteEngine&) {
            questionAsked = true;
            s.Ask([] { return true; });
        });
        steps.push_back("after");
    };
    // The question is posted but never run: the window does not get back to its loop.
    Launch(command(*service, seen, asked, held));
    while (!asked)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    service->Submit([&](TRemoteEngine&) { ended = true; }, true);
    service->Stop();
    EXPECT_TRUE(ended);
    EXPECT_FALSE(held.expired());
    DestroyWaitingCommands();
    EXPECT_TRUE(held.expired());
    service.reset();
    EXPECT_EQ(seen, (std::vector<std::string>{"before"}));
}
