#pragma once
#include <QObject>
#include <functional>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP end the program the normal way: the signal handler only writes
// to a pipe, and the event loop then runs the given close request, so the window's close
// steps save everything as on any other exit.
class TTerminationSignals : public QObject {
    Q_OBJECT
public:
    TTerminationSignals(std::function<void()> closeRequest, QObject* parent = nullptr);
    ~TTerminationSignals() override;

private:
    void Drain();

    std::function<void()> closeRequest_;
    QSocketNotifier* notifier_ = nullptr;
};
