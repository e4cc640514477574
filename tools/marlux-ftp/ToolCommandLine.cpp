#include "ToolCommandLine.h"

#include "ftp/IdTlsSession.h"
#include "sftp/SftpFingerprint.h"

#include <charconv>
#include <pwd.h>
#include <unistd.h>

const char* const ToolUsage =
    "usage: marlux-ftp [options] HOST[:PORT] COMMAND [ARG...] [';' COMMAND [ARG...]]...\n"
    "options:\n"
    "  -u USER  -p PASSWORD  --passive (default) | --active  --ascii | --binary (default)\n"
    "  --proxy-type N (0-5)  --proxy HOST:PORT  --proxy-user U  --proxy-pass P\n"
    "  --timeout SECONDS (connect and every wait; default 60)  -v (the control dialogue on stderr)\n"
    "  --no-verify (no check of the server's digest or size after each get and put)\n"
    "  --tls explicit|implicit (FTP over TLS; implicit defaults to port 990)\n"
    "  --trust FINGERPRINT (SHA-256 of a certificate to accept although it fails verification;\n"
    "           with --sftp the host key's, SHA256:... as OpenSSH shows it)\n"
    "  --sftp (SFTP over SSH; default port 22, user the local one)  --identity KEYFILE (a private\n"
    "           key to log in with; -p is then its passphrase)  --cipher LIST (SSH ciphers offered)\n"
    "  --encoding auto|utf-8|shift_jis|euc-jp (the server's file names; default auto: read off\n"
    "           the listings)\n"
    "commands:\n"
    "  pwd | cd DIR | cdup | mkdir DIR | rmdir DIR | rm NAME | rename OLD NEW | site TEXT...\n"
    "  size NAME | system | ls [MASK] | nlst [MASK] | rawls [MASK]\n"
    "  (over SFTP, site takes only CHMOD MODE NAME)\n"
    "  get REMOTE LOCAL [--resume] | put LOCAL REMOTE [--append]\n"
    "  (--resume fetches only what the remote file has beyond the local one)\n"
    "  mirror [--reverse] [--delete] [--dry-run] [--parallel N] [--only-newer] LOCAL REMOTE\n"
    "  (downloads the REMOTE folder's tree into LOCAL; --reverse uploads LOCAL to REMOTE;\n"
    "   --delete removes the receiving side's files the other side lacks, never folders;\n"
    "   --only-newer skips files not newer than their counterpart; --parallel N (1-8) moves\n"
    "   the files over N connections; --dry-run prints the plan, one line per action:\n"
    "   mkdir PATH, put PATH, get PATH, skip REASON PATH, delete PATH, and changes nothing)\n"
    "after each get and put: \"verified (ALGORITHM)\", \"verified (size)\" or \"not verified: REASON\";\n"
    "a file that differs is renamed to NAME.part and the exit status is 3\n";

namespace {

int ParseNumber(const std::string& text, int low, int high, const std::string& what) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        throw UsageError("invalid " + what + ": " + text);
    return value;
}

// HOST, HOST:PORT, [IPV6] or [IPV6]:PORT; a bare IPv6 address has no port. True when a port
// was given.
bool SplitHostPort(const std::string& text, std::string& host, int& port) {
    size_t colon = text.rfind(':');
    if (!text.empty() && text.front() == '[') {
        size_t close = text.find(']');
        if (close == std::string::npos) throw UsageError("missing ] in " + text);
        colon = close + 1 < text.size() && text[close + 1] == ':' ? close + 1 : std::string::npos;
        if (colon == std::string::npos && close + 1 != text.size()) throw UsageError("invalid host: " + text);
    } else if (colon != std::string::npos && text.find(':') != colon) {
        colon = std::string::npos;
    }
    host = text.substr(0, colon);
    if (host.empty() || host == "[]") throw UsageError("missing host name");
    if (colon == std::string::npos) return false;
    port = ParseNumber(text.substr(colon + 1), 1, 65535, "port");
    return true;
}

// Who logs in over SSH when -u is not given: the local user, as ssh does.
std::string LocalUserName() {
    const passwd* account = getpwuid(getuid());
    return account ? account->pw_name : "";
}

// The options that only FTP has; an SFTP session cannot honour them.
void RefuseFtpOnlyOptions(const ToolOptions& options) {
    if (options.tls != 0) throw UsageError("--tls is not available with --sftp");
    if (options.proxyType != 0 || !options.proxyHost.empty()) throw UsageError("proxies are not available with --sftp");
    if (!options.passive) throw UsageError("--active is not available with --sftp");
    if (options.ascii) throw UsageError("--ascii is not available with --sftp");
}

int ParseTlsMode(const std::string& text) {
    if (text == "explicit") return 1;
    if (text == "implicit") return 2;
    throw UsageError("invalid TLS mode: " + text + " (explicit or implicit)");
}

}  // namespace

ToolOptions ParseToolCommandLine(const std::vector<std::string>& arguments) {
    ToolOptions options;
    bool userGiven = false, passwordGiven = false;
    std::string trust;
    size_t i = 0;
    auto value = [&](const std::string& option) -> const std::string& {
        if (i + 1 >= arguments.size()) throw UsageError("option " + option + " needs a value");
        return arguments[++i];
    };
    for (; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.empty() || argument[0] != '-') break;
        if (argument == "-u") {
            options.user = value(argument);
            userGiven = true;
        } else if (argument == "-p") {
            options.password = value(argument);
            passwordGiven = true;
        }
        else if (argument == "--passive") options.passive = true;
        else if (argument == "--active") options.passive = false;
        else if (argument == "--ascii") options.ascii = true;
        else if (argument == "--binary") options.ascii = false;
        else if (argument == "--proxy-type") options.proxyType = ParseNumber(value(argument), 0, 5, "proxy type");
        else if (argument == "--proxy") SplitHostPort(value(argument), options.proxyHost, options.proxyPort);
        else if (argument == "--proxy-user") options.proxyUser = value(argument);
        else if (argument == "--proxy-pass") options.proxyPassword = value(argument);
        else if (argument == "--timeout")
            options.timeoutMs = ParseNumber(value(argument), 1, 2'000'000, "time-out") * 1000;
        else if (argument == "-v") options.verbose = true;
        else if (argument == "--no-verify") options.verify = false;
        else if (argument == "--tls") options.tls = ParseTlsMode(value(argument));
        else if (argument == "--encoding") {
            const std::optional<TNameEncoding> encoding = NameEncodingFromKey(value(argument));
            if (!encoding) throw UsageError("invalid encoding: " + arguments[i] + " (auto, utf-8, shift_jis or euc-jp)");
            options.nameEncoding = *encoding;
        }
        else if (argument == "--trust") trust = value(argument);
        else if (argument == "--sftp") options.sftp = true;
        else if (argument == "--identity") options.identity = value(argument);
        else if (argument == "--cipher") options.ciphers = value(argument);
        else throw UsageError("unknown option " + argument);
    }
    if (!trust.empty()) {
        options.trust = options.sftp ? NormalizeHostKeyFingerprint(trust) : NormalizeFingerprint(trust);
        if (options.trust.empty()) throw UsageError("invalid fingerprint: " + trust);
    }
    if (!options.sftp && (!options.identity.empty() || !options.ciphers.empty()))
        throw UsageError("--identity and --cipher need --sftp");
    if (i == arguments.size()) throw UsageError("missing host");
    options.portGiven = SplitHostPort(arguments[i++], options.host, options.port);
    if (options.tls == 2 && !options.portGiven) options.port = 990;
    if (options.sftp) {
        RefuseFtpOnlyOptions(options);
        if (!options.portGiven) options.port = 22;
        if (!userGiven) options.user = LocalUserName();
        // FTP's anonymous password would go to the server as this user's.
        if (!passwordGiven) options.password.clear();
    }
    ToolCommand command;
    for (; i <= arguments.size(); ++i) {
        if (i == arguments.size() || arguments[i] == ";") {
            if (command.name.empty()) throw UsageError("missing command");
            options.commands.push_back(std::move(command));
            command = {};
        } else if (command.name.empty()) {
            command.name = arguments[i];
        } else {
            command.arguments.push_back(arguments[i]);
        }
    }
    return options;
}
