#include "ftp/IdException.h"
#include "service/SessionService.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

bool OnWindowThread()
{
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

}  // namespace

// A job runs on the engine's thread; what it posts runs on the window's thread in the order it
// was posted, all of it before the job's result is back.
TEST(SessionService, JobsRunOnTheirOwnThreadAndTheirNotificationsArriveInOrderBeforeTheirEnd)
{
    TSessionService service;
    std::vector<std::string> seen;
    bool jobOnWindowThread = true;
    const int result = service.Run([&](TIdFTP&) {
        jobOnWindowThread = OnWindowThread();
        for (const char* step : {"one", "two", "three"})
            service.Post([&seen, step] { seen.push_back(std::string(step) + (OnWindowThread() ? "" : " elsewhere")); });
        return 42;
    });
    EXPECT_EQ(result, 42);
    EXPECT_FALSE(jobOnWindowThread);
    EXPECT_EQ(seen, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_FALSE(service.Running());
    EXPECT_FALSE(service.Connected());
}

// The error a job raises is raised again by Run, with its type; the window's events go on while a
// job works; one of them asking for a second job is refused, while ending the session waits its
// turn; a question is answered on the window's thread.
TEST(SessionService, ErrorsComeBackTheWindowRunsMeanwhileAndOnlyTheSessionsEndMayWaitItsTurn)
{
    TSessionService service;
    EXPECT_THROW(service.Run([](TIdFTP&) { throw EIdConnClosedGracefully(); }), EIdConnClosedGracefully);
    EXPECT_THROW(service.Run([](TIdFTP&) -> int { throw std::runtime_error("no"); }), std::runtime_error);

    std::vector<std::string> order;
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(5);
    QTimer::singleShot(50, [&] {
        EXPECT_TRUE(service.Running());
        EXPECT_THROW(service.Run([](TIdFTP&) {}), EIdCommandInProgress);
        service.RunAfterCurrent([&](TIdFTP&) { order.push_back("after"); });
        order.push_back("returned");
    });
    service.Run([&](TIdFTP&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        order.push_back("first");
    });
    ticker.stop();
    EXPECT_EQ(order, (std::vector<std::string>{"first", "after", "returned"}));
    EXPECT_GE(ticks, 10);

    bool askedOnWindowThread = false;
    EXPECT_TRUE(service.Run([&](TIdFTP&) {
        return service.Ask([&] {
            askedOnWindowThread = OnWindowThread();
            return true;
        });
    }));
    EXPECT_TRUE(askedOnWindowThread);
}

// What a posted call raises goes to the handler, and later calls still run.
TEST(SessionService, APostedCallThatRaisesReachesTheHandlerAndTheRestStillRun)
{
    TSessionService service;
    std::vector<std::string> seen;
    service.SetPostedErrorHandler([&](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            seen.push_back(e.what());
        }
    });
    service.Run([&](TIdFTP&) {
        service.Post([] { throw std::runtime_error("broken"); });
        service.Post([&] { seen.push_back("after"); });
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"broken", "after"}));
}
