#pragma once
#include "ftp/IdException.h"

#include <string>

// The server refused a request; the code is the SFTP status (2 no such file, 3 permission
// denied, 4 failure, ...), the message the server's text or the status's meaning.
class ESftpStatusError : public EIdProtocolReplyError {
public:
    using EIdProtocolReplyError::EIdProtocolReplyError;
};

// The SSH connection failed or was lost: the session is unusable until connected again.
class ESftpConnectionError : public EIdSocketError {
public:
    explicit ESftpConnectionError(const std::string& message) : EIdSocketError(10054, message) {}
};

// No authentication method was accepted, or the private key could not be read.
class ESftpAuthenticationError : public EIdException {
public:
    using EIdException::EIdException;
};

// The server presented a different host key from the one trusted for it: possibly another
// machine in the middle. Never asked about, never accepted.
class ESftpHostKeyChanged : public EIdException {
public:
    ESftpHostKeyChanged(const std::string& trusted, const std::string& presented)
        : EIdException("The server's host key has changed: trusted " + trusted + ", presented " + presented +
                       ". The connection was refused; if the server's key was replaced on purpose, remove the "
                       "trusted key and connect again."),
          Trusted(trusted), Presented(presented)
    {
    }
    std::string Trusted;
    std::string Presented;
};

// An unknown host key that the user (or the lack of a question) did not trust.
class ESftpHostKeyNotTrusted : public EIdException {
public:
    explicit ESftpHostKeyNotTrusted(const std::string& fingerprint)
        : EIdException("The server's host key " + fingerprint + " is not trusted.")
    {
    }
};
