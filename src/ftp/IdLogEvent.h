#pragma once
#include "ftp/IdIntercept.h"

#include <functional>
#include <string>

class TIdLogBase;
using TLogItemDataEvent = std::function<void(TIdLogBase* sender, const std::string& time, const std::string& data)>;
using TLogItemStatusEvent = std::function<void(TIdLogBase* sender, const std::string& text)>;

// The log hook: received chunks as read from the socket, sent buffers whole.
class TIdLogBase : public TIdConnectionIntercept {
public:
    bool Active = false;
    bool LogTime = true;
    bool ReplaceCRLF = true;

    void Connect() override;
    void Disconnect() override;
    void Receive(std::string& bytes) override;
    void Send(std::string& bytes) override;

protected:
    virtual void LogStatus(const std::string& text) = 0;
    virtual void LogReceivedData(const std::string& time, const std::string& data) = 0;
    virtual void LogSentData(const std::string& time, const std::string& data) = 0;

private:
    void Log(const std::string& bytes, bool received);
};

class TIdLogEvent : public TIdLogBase {
public:
    TLogItemDataEvent OnReceived;
    TLogItemDataEvent OnSent;
    TLogItemStatusEvent OnStatus;

protected:
    void LogStatus(const std::string& text) override;
    void LogReceivedData(const std::string& time, const std::string& data) override;
    void LogSentData(const std::string& time, const std::string& data) override;
};

// CR LF, then CR, then LF replaced by "<EOL>", "<CR>" and "<LF>".
std::string ReplaceLineBreaks(const std::string& text);
