#pragma once
#include "ftp/IdAbortSignal.h"
#include "ftp/IdComponent.h"
#include "ftp/IdDeadline.h"
#include "ftp/IdIntercept.h"
#include "ftp/IdLineEnds.h"
#include "ftp/IdManagedBuffer.h"
#include "ftp/IdRFCReply.h"
#include "ftp/IdSocketHandle.h"
#include "ftp/IdStream.h"

#include <climits>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

enum TIdMaxLineAction { maException, maSplit };

// Allowed reply codes: empty, or the single code -1, accepts every code.
using TIdReplyCodes = std::vector<int>;

class TIdTCPConnection;
using TIdNotifyEvent = std::function<void(TIdTCPConnection* sender)>;

// One TCP connection carrying lines of text, raw bytes and numbered replies. Every call is
// synchronous and belongs to the one thread that runs the connection; only AbortSignal is
// touched from elsewhere.
class TIdTCPConnection : public TIdComponent {
public:
    TIdTCPConnection() = default;
    ~TIdTCPConnection() override;

    int RecvBufferSize = 32768;
    int SendBufferSize = 32768;
    int MaxLineLength = 16384;
    TIdMaxLineAction MaxLineAction = maException;
    // Milliseconds, 0 = no limit. Bounds every wait: each receive and send, and a whole reply.
    int ReadTimeout = 0;
    bool ASCIIFilter = false;
    // Not owned.
    TIdConnectionIntercept* Intercept = nullptr;
    TIdNotifyEvent OnDisconnected;
    // Not owned; shared by a control connection and its data channels.
    TIdAbortSignal* AbortSignal = nullptr;
    // Called once when AbortSignal holds a request while this connection waits or moves data;
    // the FTP object sets it on its data channels to abort the transfer.
    std::function<void()> OnAbortRequest;

    // A multi-line reply longer than this is refused and the connection dropped.
    static constexpr size_t MaxReplyLines = 1000;
    static constexpr size_t MaxReplyBytes = 64 * 1024;

    TIdRFCReply WelcomeReply;
    TIdRFCReply LastReply;

    bool Connected();
    virtual void Disconnect();
    // Closes the socket without notifications; virtual so that a listener closes too.
    virtual void DropSocket();
    // Returns the bytes read, -1 on a time-out without raising, 0 when the connection is gone.
    int ReadFromSocket(bool raiseIfDisconnected = true, int timeoutMs = -1, bool raiseOnTimeout = true);
    // True when the connection is lost.
    bool CheckDisconnect(bool raiseIfDisconnected = true, bool ignoreBuffer = false);

    std::string ReadLine(const std::string& terminator = "\n", int timeoutMs = -1, int maxLength = -1);
    std::string WaitLine(int failCount = INT_MAX);
    void ReadExact(void* buffer, size_t count);
    bool ReadLnSplit() const { return readLnSplit_; }
    bool ReadLnTimedOut() const { return readLnTimedOut_; }
    bool ClosedGracefully() const { return closedGracefully_; }

    void WriteText(const std::string& text);
    // Refuses a line that contains CR or LF before anything is sent.
    void WriteLine(const std::string& line);
    void WriteRaw(const char* data, size_t count);

    // Receives into the stream at its position until the peer closes (or `byteCount` bytes
    // arrive, when it is not -1 and untilClose is false); the stream is cut at the end. With
    // `toLocal` the line ends are converted on the way, and a CR at the very end stays held in
    // it: only the caller learns whether the data was complete. Work is counted in bytes of the
    // stream.
    void ReceiveStream(TIdStream& stream, int64_t byteCount = -1, bool untilClose = true,
                       TIdLineEndsToLocal* toLocal = nullptr);
    // Sends the stream from its position (from 0 with fromStart) in SendBufferSize chunks, with
    // `toWire` converting the line ends; work is counted per chunk in bytes of the stream.
    void SendStream(TIdStream& stream, bool fromStart = true, TIdLineEndsToWire* toWire = nullptr);

    int SendCommand(const std::string& line, const TIdReplyCodes& allowed = {});
    // The end of a wait of ReadTimeout from now; none when ReadTimeout sets no limit.
    std::optional<TIdClock::time_point> ReadDeadline() const;
    // Waits until the reply to the command just sent begins, or the deadline (none: no limit)
    // passes, in slices while an abort can be requested. False when a request was taken first:
    // the reply is then forgone. True otherwise; ReadReply reads it.
    bool AwaitReplyUnlessAborted(std::optional<TIdClock::time_point> deadline);
    // The same wait, but false also when the deadline passes first; `aborted` tells a taken
    // request, which is then the caller's to carry out. Nothing is forgone.
    bool AwaitReply(std::optional<TIdClock::time_point> deadline, bool& aborted);
    // Sends a command without waiting for its reply, which is forgone.
    void SendCommandAhead(const std::string& line);
    // A reply that does not come within ReadTimeout drops the connection: it is out of step.
    int ReadReply(const TIdReplyCodes& allowed = {});
    // A multi-line reply ends only at a line that starts with the first line's code and a blank.
    void ReadRawReply();
    int CheckReply(int code, const TIdReplyCodes& allowed) const;

    // Received bytes not consumed yet; RemoveInput takes them off the front and counts the work.
    const TIdManagedBuffer& InputBuffer() const { return input_; }
    void RemoveInput(size_t count);

    const TIdSocketHandle& Binding() const { return binding_; }

    // Runs TLS over the connected socket: the handshake, bounded by ReadTimeout, pumping the
    // window. Bytes already received in plain text are refused (they could only be injected).
    void StartTls(const std::string& serverName, const TIdTlsSessionTicket& resume = {},
                  TIdTlsTicketPool* tickets = nullptr);
    // Sends the TLS close notification, waiting at most ReadTimeout for the socket to take it;
    // with awaitPeerClose then also for the peer to close (the end of an upload). Nothing
    // happens without TLS or without a socket.
    void EndTls(bool awaitPeerClose);
    const TIdTlsSession* Tls() const { return binding_.Tls.get(); }

protected:
    // Opens the connection: an empty input buffer and a cleared closed-gracefully flag.
    void ResetConnection();
    void ReportDisconnected();
    // Waits until the socket can be read (or written), at most timeoutMs (negative: no limit),
    // in slices while an abort can be requested; false on a time-out. A socket closed before or
    // while waiting (an abort) raises EIdConnClosedGracefully.
    bool WaitReady(TcpSocket& socket, bool forWriting, int timeoutMs);
    // Passes on a pending abort request to OnAbortRequest.
    void CheckAbort();

    TIdSocketHandle binding_;

private:
    // The wait for the next receive or send: an explicit time-out, else ReadTimeout, but no
    // longer than the deadline of the reply being read.
    int WaitLimit(int timeoutMs) const;
    void SendBytes(const char* data, size_t count);
    // The socket's receive and send, through TLS when it runs; a TLS failure drops the socket.
    int ReceiveThroughTls(void* data, size_t size, size_t& received);
    int SendThroughTls(const void* data, size_t size, size_t& sent);
    // A forgone reply is read (and dropped) before the next command line goes out, so that it is
    // never taken for that command's. The wait for all of them ends at the latest deadline
    // given (none: no limit); then the connection is out of step and dropped.
    void ForgoReply(std::optional<TIdClock::time_point> deadline);
    void ReadForgoneReplies();
    void RefuseLineBreaks(const std::string& line) const;
    // The next line of a reply, counted against the reply caps.
    std::string ReadReplyLine(size_t& lines, size_t& bytes);

    TIdManagedBuffer input_;
    std::vector<char> sendChunk_;
    bool closedGracefully_ = false;
    bool readLnSplit_ = false;
    bool readLnTimedOut_ = false;
    std::optional<TIdClock::time_point> replyDeadline_;
    int forgoneReplies_ = 0;
    std::optional<TIdClock::time_point> forgoneDeadline_;
};

// Gives a connection another ReadTimeout for as long as the object lives.
class TIdReadTimeoutScope {
public:
    TIdReadTimeoutScope(TIdTCPConnection& connection, int readTimeout)
        : connection_(connection), saved_(connection.ReadTimeout) {
        connection.ReadTimeout = readTimeout;
    }
    ~TIdReadTimeoutScope() { connection_.ReadTimeout = saved_; }
    TIdReadTimeoutScope(const TIdReadTimeoutScope&) = delete;
    TIdReadTimeoutScope& operator=(const TIdReadTimeoutScope&) = delete;

private:
    TIdTCPConnection& connection_;
    int saved_;
};
