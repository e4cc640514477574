#include "ftp/IdTCPConnection.h"

#include "ftp/IdAntiFreeze.h"
#include "ftp/IdException.h"
#include "ftp/IdSocketWait.h"
#include "ftp/IdText.h"
#include "platform/SocketError.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

TIdTCPConnection::~TIdTCPConnection() { binding_.Reset(); }

void TIdTCPConnection::ResetConnection() {
    input_.Clear();
    closedGracefully_ = false;
}

bool TIdTCPConnection::Connected() {
    CheckDisconnect(false, false);
    return binding_.HandleAllocated();
}

void TIdTCPConnection::ReportDisconnected() {
    if (OnDisconnected) OnDisconnected(this);
}

void TIdTCPConnection::Disconnect() {
    bool wasConnected = Connected();
    if (wasConnected) {
        ReportStatus(stDisconnecting);
        DropSocket();
        ReportDisconnected();
        ReportStatus(stDisconnected);
    }
}

void TIdTCPConnection::DropSocket() {
    closedGracefully_ = true;
    if (!binding_.HandleAllocated()) return;
    if (Intercept) Intercept->Disconnect();
    binding_.Socket.Close();
}

bool TIdTCPConnection::CheckDisconnect(bool raiseIfDisconnected, bool ignoreBuffer) {
    bool lost;
    if (closedGracefully_ && binding_.HandleAllocated()) {
        DropSocket();
        ReportStatus(stDisconnected);
        ReportDisconnected();
        lost = true;
    } else {
        lost = !binding_.HandleAllocated();
    }
    if (lost && (input_.Empty() || ignoreBuffer) && raiseIfDisconnected) throw EIdConnClosedGracefully();
    return lost;
}

int TIdTCPConnection::ReadFromSocket(bool raiseIfDisconnected, int timeoutMs, bool raiseOnTimeout) {
    if (timeoutMs == -1) timeoutMs = ReadTimeout != 0 ? ReadTimeout : -1;
    CheckDisconnect(raiseIfDisconnected, false);
    if (!binding_.HandleAllocated()) {
        if (raiseIfDisconnected) throw EIdNotConnected();
        return 0;
    }
    for (;;) {
        if (!WaitReadablePumped(binding_.Socket, timeoutMs)) {
            if (raiseOnTimeout) throw EIdReadTimeout();
            return -1;
        }
        size_t count = 0;
        int error = 0;
        if (!binding_.HandleAllocated()) {
            if (raiseIfDisconnected) throw EIdNotConnected();
        } else {
            scratch_.resize(static_cast<size_t>(std::max(RecvBufferSize, 1)));
            error = binding_.Socket.Receive(scratch_.data(), scratch_.size(), count);
        }
        closedGracefully_ = count == 0;
        if (error == SocketError::Shutdown || error == SocketError::ConnectionAborted) {
            count = 0;
            DropSocket();
            if (input_.Empty()) RaiseSocketError(error);
        } else if (error != 0) {
            RaiseSocketError(error);
        }
        if (count > 0) {
            if (Intercept || ASCIIFilter) {
                std::string chunk(scratch_.data(), count);
                if (Intercept) Intercept->Receive(chunk);
                if (ASCIIFilter)
                    for (char& c : chunk) c = static_cast<char>(c & 0x7F);
                input_.Append(chunk.data(), chunk.size());
                count = chunk.size();
            } else {
                input_.Append(scratch_.data(), count);
            }
        }
        CheckDisconnect(raiseIfDisconnected, false);
        if (count != 0 || !binding_.HandleAllocated()) return static_cast<int>(count);
    }
}

void TIdTCPConnection::RemoveInput(size_t count) {
    input_.Remove(count);
    StepWork(wkReceive, static_cast<int64_t>(count));
}

std::string TIdTCPConnection::ReadLine(const std::string& terminator, int timeoutMs, int maxLength) {
    const std::string term = terminator.empty() ? std::string("\n") : terminator;
    const size_t max = static_cast<size_t>(maxLength == -1 ? MaxLineLength : std::max(maxLength, 0));
    readLnSplit_ = false;
    readLnTimedOut_ = false;
    size_t searched = 0;
    for (;;) {
        std::string_view text = input_.View();
        size_t from = searched >= term.size() ? searched - (term.size() - 1) : 0;
        size_t at = text.find(term, from);
        bool tooLong = max != 0 && (at == std::string_view::npos ? text.size() > max : at > max);
        if (tooLong) {
            if (MaxLineAction == maException) throw EIdReadLnMaxLineLengthExceeded();
            readLnSplit_ = true;
            std::string line(text.substr(0, max));
            RemoveInput(max);
            return line;
        }
        if (at != std::string_view::npos) {
            std::string line(text.substr(0, at));
            RemoveInput(at + term.size());
            if (term == "\n" && !line.empty() && line.back() == '\r') line.pop_back();
            return line;
        }
        searched = text.size();
        if (ReadFromSocket(true, timeoutMs, timeoutMs == -1) == -1) {
            readLnTimedOut_ = true;
            return {};
        }
    }
}

std::string TIdTCPConnection::WaitLine(int failCount) {
    std::string line;
    for (int attempt = 0; attempt < failCount; ++attempt) {
        line = std::string(Trim(ReadLine("\n", -1)));
        if (!line.empty()) break;
    }
    return line;
}

void TIdTCPConnection::ReadExact(void* buffer, size_t count) {
    while (input_.Size() < count) {
        ReadFromSocket(true, -1, true);
        CheckDisconnect(true, true);
    }
    std::memcpy(buffer, input_.Data(), count);
    RemoveInput(count);
}

void TIdTCPConnection::WriteText(const std::string& text) {
    if (!text.empty()) WriteRaw(text.data(), text.size());
}

void TIdTCPConnection::WriteLine(const std::string& line) {
    if (line.find_first_of("\r\n") != std::string::npos) throw EIdLineBreakInCommand();
    WriteText(line + "\r\n");
}

void TIdTCPConnection::WriteRaw(const char* data, size_t count) {
    if (count == 0) return;
    CheckDisconnect(true, true);
    if (!binding_.HandleAllocated()) throw EIdNotConnected();
    std::string hooked;
    if (Intercept) {
        hooked.assign(data, count);
        Intercept->Send(hooked);
        data = hooked.data();
        count = hooked.size();
    }
    for (size_t position = 0; position < count;) {
        size_t sent = 0;
        int error = binding_.Socket.Send(data + position, count - position, sent);
        TIdAntiFreeze::DoProcess(false);
        // An abort from the window closes the socket under a chunk.
        if (!binding_.HandleAllocated()) throw EIdClosedSocket();
        if (error == SocketError::Shutdown || error == SocketError::ConnectionAborted ||
            error == SocketError::ConnectionReset) {
            DropSocket();
            RaiseSocketError(error);
        }
        if (error != 0) RaiseSocketError(error);
        closedGracefully_ = sent == 0;
        CheckDisconnect(true, false);
        StepWork(wkSend, static_cast<int64_t>(sent));
        position += sent;
    }
}

int TIdTCPConnection::SendCommand(const std::string& line, const TIdReplyCodes& allowed) {
    WriteLine(line);
    return ReadReply(allowed);
}

int TIdTCPConnection::ReadReply(const TIdReplyCodes& allowed) {
    ReadRawReply();
    return CheckReply(LastReply.NumericCode, allowed);
}

void TIdTCPConnection::ReadRawReply() {
    std::vector<std::string> lines{WaitLine()};
    const std::string& first = lines.front();
    if (first.size() >= 4 && first[3] == '-') {
        const std::string terminator = first.substr(0, 3) + " ";
        for (;;) {
            lines.push_back(WaitLine());
            const std::string& line = lines.back();
            if (line.size() < 4 || strncasecmp(line.c_str(), terminator.c_str(), 4) == 0) break;
        }
    }
    LastReply.ParseLines(lines);
}

int TIdTCPConnection::CheckReply(int code, const TIdReplyCodes& allowed) const {
    bool any = allowed.empty() || (allowed.size() == 1 && allowed.front() == -1);
    if (any || std::find(allowed.begin(), allowed.end(), code) != allowed.end()) return code;
    throw EIdProtocolReplyError(LastReply.NumericCode, LastReply.JoinedText());
}
