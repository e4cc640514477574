#include "app/TerminationSignals.h"

#include "service/ExceptionGuard.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};
constexpr int HandledSignals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void NoteSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

void SetHandler(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : HandledSignals)
        sigaction(signalNumber, &action, nullptr);
}

}  // namespace

TTerminationSignals::TTerminationSignals(std::function<void()> closeRequest, QObject* parent)
    : QObject(parent), closeRequest_(std::move(closeRequest))
{
    if (signalPipe[0] < 0 && pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, Guarded([this](auto&&...) { Drain(); }));
    SetHandler(NoteSignal);
}

TTerminationSignals::~TTerminationSignals()
{
    if (notifier_)
        SetHandler(SIG_DFL);
}

void TTerminationSignals::Drain()
{
    unsigned char bytes[16];
    while (read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
    if (closeRequest_)
        closeRequest_();
}
