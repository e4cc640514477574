#pragma once
#include "platform/NameEncoding.h"

#include <stdexcept>
#include <string>
#include <vector>

struct ToolCommand {
    std::string name;
    std::vector<std::string> arguments;
};

struct ToolOptions {
    std::string host;
    int port = 21;
    std::string user = "anonymous";
    std::string password = "marlux@";
    bool passive = true;
    bool ascii = false;
    int proxyType = 0;
    std::string proxyHost;
    int proxyPort = 0;
    std::string proxyUser;
    std::string proxyPassword;
    // The time-out of the connect and of every later wait, in ms.
    int timeoutMs = 60000;
    bool verbose = false;
    // Check each binary get and put against the server's digest or size.
    bool verify = true;
    // 0 none, 1 explicit, 2 implicit (the engine's TIdUseTLS values).
    int tls = 0;
    // A SHA-256 fingerprint trusted although the certificate fails verification, or with SFTP
    // the host key's ("SHA256:..."); canonical form.
    std::string trust;
    // SFTP instead of FTP; the private key file to log in with; the ciphers offered.
    bool sftp = false;
    std::string identity;
    std::string ciphers;
    TNameEncoding nameEncoding = TNameEncoding::Auto;
    bool portGiven = false;
    std::vector<ToolCommand> commands;
};

// A command line the tool cannot run; the message says why.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Options, then HOST[:PORT], then commands separated by lone ";" arguments.
ToolOptions ParseToolCommandLine(const std::vector<std::string>& arguments);

extern const char* const ToolUsage;
