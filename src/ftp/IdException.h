#pragma once
#include <stdexcept>
#include <string>

// Every failure of the engine is an exception of this family, carrying the message text the
// application shows or logs.
class EIdException : public std::runtime_error {
public:
    explicit EIdException(const std::string& message) : std::runtime_error(message) {}
};

// Failures the application treats as an ordinary end of a connection.
class EIdSilentException : public EIdException {
public:
    using EIdException::EIdException;
};

class EIdConnClosedGracefully : public EIdSilentException {
public:
    EIdConnClosedGracefully() : EIdSilentException("Connection Closed Gracefully.") {}
};

class EIdAlreadyConnected : public EIdException {
public:
    EIdAlreadyConnected() : EIdException("Already connected.") {}
};

class EIdClosedSocket : public EIdException {
public:
    EIdClosedSocket() : EIdException("Disconnected.") {}
};

class EIdReadTimeout : public EIdException {
public:
    EIdReadTimeout() : EIdException("Read Timeout") {}
};

class EIdReadLnMaxLineLengthExceeded : public EIdException {
public:
    EIdReadLnMaxLineLengthExceeded() : EIdException("Max line length exceeded.") {}
};

// A reply code outside the allowed list; the message is the reply's text lines, each followed
// by CR LF.
class EIdProtocolReplyError : public EIdException {
public:
    EIdProtocolReplyError(int replyCode, const std::string& message)
        : EIdException(message), replyCode_(replyCode) {}
    int ReplyErrorCode() const { return replyCode_; }

private:
    int replyCode_;
};

// A data transfer the server reports as cut short (426 or 450, after an ABOR or not): the data
// that arrived is incomplete.
class EIdTransferAborted : public EIdProtocolReplyError {
public:
    explicit EIdTransferAborted(int replyCode) : EIdProtocolReplyError(replyCode, "Transfer aborted") {}
};

class EIdConnectTimeout : public EIdException {
public:
    EIdConnectTimeout() : EIdException("Connect timed out.") {}
};

class EIdConnectException : public EIdException {
public:
    using EIdException::EIdException;
};

// "Socket Error # <n>" CR LF <text>, with the Windows Sockets error numbers.
class EIdSocketError : public EIdException {
public:
    EIdSocketError(int lastError, const std::string& message)
        : EIdException(message), lastError_(lastError) {}
    int LastError() const { return lastError_; }

private:
    int lastError_;
};

class EIdTCPConnectionError : public EIdException {
public:
    using EIdException::EIdException;
};

class EIdNotConnected : public EIdTCPConnectionError {
public:
    EIdNotConnected() : EIdTCPConnectionError("Not Connected") {}
};

class EIdNoDataToRead : public EIdTCPConnectionError {
public:
    EIdNoDataToRead() : EIdTCPConnectionError("No data to read.") {}
};

class EIdNotEnoughDataInBuffer : public EIdTCPConnectionError {
public:
    EIdNotEnoughDataInBuffer() : EIdTCPConnectionError("Not enough data in buffer.") {}
};

class EIdSocketHandleError : public EIdException {
public:
    using EIdException::EIdException;
};

class EIdCouldNotBindSocket : public EIdSocketHandleError {
public:
    EIdCouldNotBindSocket()
        : EIdSocketHandleError("Could not bind socket. Address and port are already in use.") {}
};

class EIdStackError : public EIdException {
public:
    using EIdException::EIdException;
};

class EIdStackInitializationFailed : public EIdStackError {
public:
    EIdStackInitializationFailed() : EIdStackError("Winsock Initialization Error.") {}
};

// A command line that would carry CR or LF, refused before anything is sent: the server would
// take the rest as further commands.
class EIdLineBreakInCommand : public EIdException {
public:
    EIdLineBreakInCommand() : EIdException("Command refused: it contains a line break.") {}
};

class EIdFTPFileAlreadyExists : public EIdException {
public:
    EIdFTPFileAlreadyExists() : EIdException("Destination file already exists.") {}
};

// A command started from the message pump while the engine is inside another command: both
// exchanges would interleave on the control connection, so nothing is sent.
class EIdCommandInProgress : public EIdException {
public:
    EIdCommandInProgress() : EIdException("Another command is in progress.") {}
};

// A reply beyond the line or byte cap; the connection is dropped, as it is out of step.
class EIdReplyTooLong : public EIdException {
public:
    EIdReplyTooLong() : EIdException("Reply too long: the server sent more than 1000 lines or 64 KiB.") {}
};

// TLS could not be set up or was broken: a refused AUTH, a failed handshake, a certificate that
// was not trusted, a connection that ended without TLS shutdown.
class EIdTLSError : public EIdException {
public:
    using EIdException::EIdException;
};
