#pragma once
#include "ftp/IdComponent.h"
#include "ftp/IdIntercept.h"
#include "ftp/IdManagedBuffer.h"
#include "ftp/IdRFCReply.h"
#include "ftp/IdSocketHandle.h"
#include "ftp/IdStream.h"

#include <climits>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

enum TIdMaxLineAction { maException, maSplit };

// Allowed reply codes: empty, or the single code -1, accepts every code.
using TIdReplyCodes = std::vector<int>;

class TIdTCPConnection;
using TIdNotifyEvent = std::function<void(TIdTCPConnection* sender)>;

// One TCP connection carrying lines of text, raw bytes and numbered replies. Every call is
// synchronous; blocking waits pump the window through the process-wide TIdAntiFreeze.
class TIdTCPConnection : public TIdComponent {
public:
    TIdTCPConnection() = default;
    ~TIdTCPConnection() override;

    int RecvBufferSize = 32768;
    int SendBufferSize = 32768;
    int MaxLineLength = 16384;
    TIdMaxLineAction MaxLineAction = maException;
    // Milliseconds, 0 = no limit.
    int ReadTimeout = 0;
    bool ASCIIFilter = false;
    // Not owned.
    TIdConnectionIntercept* Intercept = nullptr;
    TIdNotifyEvent OnDisconnected;

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
    // arrive, when it is not -1 and untilClose is false); the stream is cut at the end.
    void ReceiveStream(TIdStream& stream, int64_t byteCount = -1, bool untilClose = true);
    // Sends the stream from its position (from 0 with fromStart) in SendBufferSize chunks.
    void SendStream(TIdStream& stream, bool fromStart = true);

    int SendCommand(const std::string& line, const TIdReplyCodes& allowed = {});
    int ReadReply(const TIdReplyCodes& allowed = {});
    void ReadRawReply();
    int CheckReply(int code, const TIdReplyCodes& allowed) const;

    // Received bytes not consumed yet; RemoveInput takes them off the front and counts the work.
    const TIdManagedBuffer& InputBuffer() const { return input_; }
    void RemoveInput(size_t count);

    const TIdSocketHandle& Binding() const { return binding_; }

protected:
    // Opens the connection: an empty input buffer and a cleared closed-gracefully flag.
    void ResetConnection();
    void ReportDisconnected();

    TIdSocketHandle binding_;

private:
    TIdManagedBuffer input_;
    std::vector<char> scratch_;
    std::vector<char> sendChunk_;
    bool closedGracefully_ = false;
    bool readLnSplit_ = false;
    bool readLnTimedOut_ = false;
};
