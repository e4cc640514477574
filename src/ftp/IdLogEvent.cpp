#include "ftp/IdLogEvent.h"

#include "platform/DateTime.h"

#include <cstdio>

namespace {

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// The time stamp of a log item, as the date-time text of the program's locale.
std::string TimeStamp() {
    TDateParts now = LocalNow();
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %d:%02d:%02d", now.year, now.month, now.day,
                  now.hour, now.minute, now.second);
    return text;
}

}  // namespace

std::string ReplaceLineBreaks(const std::string& text) {
    std::string result = text;
    ReplaceAll(result, "\r\n", "<EOL>");
    ReplaceAll(result, "\r", "<CR>");
    ReplaceAll(result, "\n", "<LF>");
    return result;
}

void TIdLogBase::Connect() {
    if (Active) LogStatus("Connected.");
}

void TIdLogBase::Disconnect() {
    if (Active) LogStatus("Disconnected.");
}

void TIdLogBase::Receive(std::string& bytes) { Log(bytes, true); }

void TIdLogBase::Send(std::string& bytes) { Log(bytes, false); }

void TIdLogBase::Log(const std::string& bytes, bool received) {
    if (!Active) return;
    std::string time = LogTime ? TimeStamp() : std::string();
    std::string data = ReplaceCRLF ? ReplaceLineBreaks(bytes) : bytes;
    if (received)
        LogReceivedData(time, data);
    else
        LogSentData(time, data);
}

void TIdLogEvent::LogStatus(const std::string& text) {
    if (OnStatus) OnStatus(this, text);
}

void TIdLogEvent::LogReceivedData(const std::string& time, const std::string& data) {
    if (OnReceived) OnReceived(this, time, data);
}

void TIdLogEvent::LogSentData(const std::string& time, const std::string& data) {
    if (OnSent) OnSent(this, time, data);
}
