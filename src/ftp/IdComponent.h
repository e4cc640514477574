#pragma once
#include <cstdint>
#include <functional>
#include <string>

// Root of the engine's components.
class TIdBaseComponent {
public:
    TIdBaseComponent() = default;
    virtual ~TIdBaseComponent() = default;
    TIdBaseComponent(const TIdBaseComponent&) = delete;
    TIdBaseComponent& operator=(const TIdBaseComponent&) = delete;
};

enum TIdStatus {
    stResolving,
    stConnecting,
    stConnected,
    stDisconnecting,
    stDisconnected,
    stStatusText,
    stTransfer,
    stReady,
    stAborted,
};

enum TWorkMode { wkReceive = 0, wkSend = 1 };

class TIdComponent;
using TIdStatusEvent = std::function<void(TIdComponent* sender, TIdStatus status, const std::string& text)>;
using TWorkBeginEvent = std::function<void(TIdComponent* sender, TWorkMode mode, int64_t countMax)>;
using TWorkEvent = std::function<void(TIdComponent* sender, TWorkMode mode, int64_t count)>;
using TWorkEndEvent = std::function<void(TIdComponent* sender, TWorkMode mode)>;

// The status text of a notification, the argument put in place of its placeholder.
std::string StatusText(TIdStatus status, const std::string& argument);

// A component that reports its status and the progress of work brackets.
class TIdComponent : public TIdBaseComponent {
public:
    TIdStatusEvent OnStatus;
    TWorkBeginEvent OnWorkBegin;
    TWorkEvent OnWork;
    TWorkEndEvent OnWorkEnd;

    void ReportStatus(TIdStatus status, const std::string& argument = {});

    // Brackets nest; only the outermost raises OnWorkBegin and OnWorkEnd, and OnWork carries the
    // running total since the outermost BeginWork. Counts are 64-bit.
    void BeginWork(TWorkMode mode, int64_t size = 0);
    void StepWork(TWorkMode mode, int64_t count);
    void EndWork(TWorkMode mode);

    struct WorkRecord {
        int64_t count = 0;
        int64_t countMax = 0;
        int level = 0;
    };
    const WorkRecord& Work(TWorkMode mode) const { return work_[mode]; }

private:
    WorkRecord work_[2];
};
