#include "ftp/IdTCPConnection.h"

#include "ftp/IdException.h"
#include "ftp/IdText.h"
#include "platform/SocketError.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <strings.h>

TIdTCPConnection::~TIdTCPConnection() { binding_.Reset(); }

void TIdTCPConnection::ResetConnection() {
    input_.Clear();
    closedGracefully_ = false;
    forgoneReplies_ = 0;
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
    binding_.Close();
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

void TIdTCPConnection::CheckAbort() {
    if (!OnAbortRequest || !AbortSignal || !AbortSignal->Take()) return;
    auto request = std::move(OnAbortRequest);
    OnAbortRequest = nullptr;
    request();
    if (AbortSignal->OnTaken) AbortSignal->OnTaken();
}

bool TIdTCPConnection::WaitReady(TcpSocket& socket, bool forWriting, int timeoutMs) {
    if (!socket.IsOpen()) throw EIdConnClosedGracefully();
    const int slice = AbortSignal && OnAbortRequest ? TIdAbortSignal::SliceMs : -1;
    const TIdClock::time_point deadline = DeadlineIn(timeoutMs);
    for (;;) {
        const int remaining = timeoutMs >= 0 ? MillisecondsUntil(deadline) : -1;
        const int wait = NextWaitMs(remaining, slice);
        bool ready = false;
        int error = forWriting ? socket.WaitWritable(wait, ready) : socket.WaitReadable(wait, ready);
        if (error) RaiseSocketError(error);
        CheckAbort();
        if (!socket.IsOpen()) throw EIdConnClosedGracefully();
        if (ready) return true;
        if (timeoutMs >= 0 && TIdClock::now() >= deadline) return false;
    }
}

int TIdTCPConnection::WaitLimit(int timeoutMs) const {
    if (timeoutMs != -1) return timeoutMs;
    if (ReadTimeout == 0) return -1;
    return replyDeadline_ ? std::min(MillisecondsUntil(*replyDeadline_), ReadTimeout) : ReadTimeout;
}

int TIdTCPConnection::ReadFromSocket(bool raiseIfDisconnected, int timeoutMs, bool raiseOnTimeout) {
    const int limit = WaitLimit(timeoutMs);
    CheckDisconnect(raiseIfDisconnected, false);
    if (!binding_.HandleAllocated()) {
        if (raiseIfDisconnected) throw EIdNotConnected();
        return 0;
    }
    for (;;) {
        size_t count = 0;
        int error = 0;
        if (!binding_.HandleAllocated()) {
            if (raiseIfDisconnected) throw EIdNotConnected();
        } else {
            // Receive first and wait only when nothing is there: a busy transfer never polls.
            const size_t room = static_cast<size_t>(std::max(RecvBufferSize, 1));
            char* tail = input_.Reserve(room);
            error = ReceiveThroughTls(tail, room, count);
            if (error == SocketError::WouldBlock) {
                if (!WaitReady(binding_.Socket, binding_.WaitForWriting(false), limit)) {
                    if (raiseOnTimeout) throw EIdReadTimeout();
                    return -1;
                }
                continue;
            }
            if (count > 0) {
                if (Intercept) {
                    std::string chunk(tail, count);
                    Intercept->Receive(chunk);
                    if (ASCIIFilter)
                        for (char& c : chunk) c = static_cast<char>(c & 0x7F);
                    input_.Append(chunk.data(), chunk.size());
                    count = chunk.size();
                } else {
                    if (ASCIIFilter)
                        for (size_t i = 0; i < count; ++i) tail[i] = static_cast<char>(tail[i] & 0x7F);
                    input_.Commit(count);
                }
            }
        }
        closedGracefully_ = count == 0;
        if (error == SocketError::Shutdown || error == SocketError::ConnectionAborted) {
            count = 0;
            DropSocket();
            if (input_.Empty()) RaiseSocketError(error);
        } else if (error != 0) {
            RaiseSocketError(error);
        }
        // A transfer whose data never stops still hears an abort.
        if (count > 0) CheckAbort();
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

void TIdTCPConnection::RefuseLineBreaks(const std::string& line) const {
    if (line.find_first_of("\r\n") != std::string::npos) throw EIdLineBreakInCommand();
}

void TIdTCPConnection::WriteLine(const std::string& line) {
    RefuseLineBreaks(line);
    if (forgoneReplies_ > 0) ReadForgoneReplies();
    WriteText(line + "\r\n");
}

void TIdTCPConnection::SendCommandAhead(const std::string& line) {
    RefuseLineBreaks(line);
    WriteText(line + "\r\n");
    ForgoReply(ReadDeadline());
}

std::optional<TIdClock::time_point> TIdTCPConnection::ReadDeadline() const {
    return ReadTimeout != 0 ? std::optional(DeadlineIn(ReadTimeout)) : std::nullopt;
}

void TIdTCPConnection::ForgoReply(std::optional<TIdClock::time_point> deadline) {
    if (forgoneReplies_++ == 0 || (forgoneDeadline_ && (!deadline || *deadline > *forgoneDeadline_)))
        forgoneDeadline_ = deadline;
}

void TIdTCPConnection::ReadForgoneReplies() {
    for (; forgoneReplies_ > 0; --forgoneReplies_) {
        const TIdReadTimeoutScope limit(*this, ReadTimeoutUntil(forgoneDeadline_));
        ReadReply();
    }
}

bool TIdTCPConnection::AwaitReplyUnlessAborted(std::optional<TIdClock::time_point> deadline) {
    if (!AbortSignal) return true;
    bool aborted = false;
    if (AwaitReply(deadline, aborted) || !aborted) return true;
    ForgoReply(deadline);
    return false;
}

bool TIdTCPConnection::AwaitReply(std::optional<TIdClock::time_point> deadline, bool& aborted) {
    aborted = false;
    const int slice = AbortSignal ? TIdAbortSignal::SliceMs : -1;
    while (input_.Empty()) {
        if (AbortSignal && AbortSignal->Take()) {
            if (AbortSignal->OnTaken) AbortSignal->OnTaken();
            aborted = true;
            return false;
        }
        const int remaining = deadline ? MillisecondsUntil(*deadline) : -1;
        if (remaining == 0) return false;
        const int wait = NextWaitMs(remaining, slice);
        ReadFromSocket(true, wait, false);
    }
    return true;
}

void TIdTCPConnection::WriteRaw(const char* data, size_t count) {
    SendBytes(data, count);
}

void TIdTCPConnection::SendBytes(const char* data, size_t count) {
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
    const int limit = WaitLimit(-1);
    for (size_t position = 0; position < count;) {
        size_t sent = 0;
        int error = SendThroughTls(data + position, count - position, sent);
        if (error == SocketError::WouldBlock) {
            if (!WaitReady(binding_.Socket, binding_.WaitForWriting(true), limit)) throw EIdReadTimeout();
            continue;
        }
        CheckAbort();
        // An abort closes the socket under a chunk.
        if (!binding_.HandleAllocated()) throw EIdClosedSocket();
        if (error == SocketError::Shutdown || error == SocketError::ConnectionAborted ||
            error == SocketError::ConnectionReset) {
            DropSocket();
            RaiseSocketError(error);
        }
        if (error != 0) RaiseSocketError(error);
        closedGracefully_ = sent == 0;
        CheckDisconnect(true, false);
        position += sent;
    }
}

int TIdTCPConnection::SendCommand(const std::string& line, const TIdReplyCodes& allowed) {
    WriteLine(line);
    return ReadReply(allowed);
}

int TIdTCPConnection::ReadReply(const TIdReplyCodes& allowed) {
    try {
        ReadRawReply();
    } catch (const EIdReadTimeout&) {
        // A late reply would be taken for the next command's.
        Disconnect();
        throw;
    }
    // The server's notice that it is closing the connection (RFC 959), as an answer to any
    // command: the session ends now rather than at the next command's socket error.
    if (LastReply.NumericCode == 421) Disconnect();
    return CheckReply(LastReply.NumericCode, allowed);
}

std::string TIdTCPConnection::ReadReplyLine(size_t& lines, size_t& bytes) {
    std::string line = ReadLine();
    bytes += line.size() + 2;
    if (++lines > MaxReplyLines || bytes > MaxReplyBytes) {
        Disconnect();
        throw EIdReplyTooLong();
    }
    return line;
}

void TIdTCPConnection::ReadRawReply() {
    // The whole reply, not each receive, must come within ReadTimeout: a server that trickles
    // bytes could otherwise hold the command for ever.
    replyDeadline_ = DeadlineIn(ReadTimeout);
    struct DeadlineEnd {
        std::optional<TIdClock::time_point>& deadline;
        ~DeadlineEnd() { deadline.reset(); }
    } deadlineEnd{replyDeadline_};

    size_t count = 0, bytes = 0;
    std::string first;
    while (first.empty()) first = std::string(Trim(ReadReplyLine(count, bytes)));
    std::vector<std::string> lines{first};
    if (first.size() >= 4 && first[3] == '-') {
        const std::string terminator = first.substr(0, 3) + " ";
        for (;;) {
            // Judged before trimming: a line with blanks before the code is text, not the end.
            const std::string raw = ReadReplyLine(count, bytes);
            const bool last = strncasecmp(raw.c_str(), terminator.c_str(), 4) == 0;
            std::string line(Trim(raw));
            if (!line.empty()) lines.push_back(std::move(line));
            if (last) break;
        }
    }
    LastReply.ParseLines(lines);
}

int TIdTCPConnection::CheckReply(int code, const TIdReplyCodes& allowed) const {
    bool any = allowed.empty() || (allowed.size() == 1 && allowed.front() == -1);
    if (any || std::find(allowed.begin(), allowed.end(), code) != allowed.end()) return code;
    throw EIdProtocolReplyError(LastReply.NumericCode, LastReply.JoinedText());
}
