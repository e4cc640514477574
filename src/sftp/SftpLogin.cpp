// The steps of the connect after the key exchange: the server's host key, then the login.
#include "sftp/SftpSession.h"

#include "sftp/SftpException.h"
#include "sftp/SftpFingerprint.h"

#include <libssh/libssh.h>

#include <cstdlib>
#include <memory>

namespace {

struct KeyFree {
    void operator()(ssh_key key) const { ssh_key_free(key); }
};
using TKey = std::unique_ptr<ssh_key_struct, KeyFree>;

std::string MethodsText(int methods)
{
    std::string text;
    auto add = [&](int bit, const char* name) {
        if (methods & bit)
            text += (text.empty() ? "" : ", ") + std::string(name);
    };
    add(SSH_AUTH_METHOD_PUBLICKEY, "public key");
    add(SSH_AUTH_METHOD_PASSWORD, "password");
    add(SSH_AUTH_METHOD_INTERACTIVE, "keyboard-interactive");
    add(SSH_AUTH_METHOD_HOSTBASED, "host-based");
    add(SSH_AUTH_METHOD_GSSAPI_MIC, "GSSAPI");
    return text.empty() ? "none" : text;
}

// Prompts the server may repeat; a server asking more often is refused rather than looped on.
constexpr int MaxKeyboardInteractiveRounds = 10;

}  // namespace

void TSftpSession::VerifyHostKey()
{
    ssh_key raw = nullptr;
    if (ssh_get_server_publickey(ssh_, &raw) != SSH_OK)
        Fail("Host key");
    TKey key(raw);
    unsigned char* hash = nullptr;
    size_t length = 0;
    if (ssh_get_publickey_hash(key.get(), SSH_PUBLICKEY_HASH_SHA256, &hash, &length) != 0)
        Fail("Host key");
    char* text = ssh_get_fingerprint_hash(SSH_PUBLICKEY_HASH_SHA256, hash, length);
    ssh_clean_pubkey_hash(&hash);
    if (!text)
        Fail("Host key");
    HostKeyFingerprint = text;
    ssh_string_free_char(text);
    HostKeyType = ssh_key_type_to_char(ssh_key_type(key.get()));
    ReportStatus(stStatusText, "Host key " + HostKeyType + " " + HostKeyFingerprint);

    if (!TrustedFingerprint.empty()) {
        if (!SameFingerprint(TrustedFingerprint, HostKeyFingerprint)) {
            ReportStatus(stStatusText, "HOST KEY CHANGED: trusted " + TrustedFingerprint + ", presented " +
                                           HostKeyFingerprint + "; connection refused");
            throw ESftpHostKeyChanged(TrustedFingerprint, HostKeyFingerprint);
        }
        return;
    }
    if (!OnVerifyHostKey || !OnVerifyHostKey(this, HostKeyFingerprint, HostKeyType))
        throw ESftpHostKeyNotTrusted(HostKeyFingerprint);
    TrustedFingerprint = HostKeyFingerprint;
}

void TSftpSession::Authenticate()
{
    int result = ssh_userauth_none(ssh_, nullptr);
    if (result == SSH_AUTH_ERROR)
        Fail("Login");
    if (result == SSH_AUTH_SUCCESS) {
        ReportStatus(stStatusText, "Logged in without authentication");
        return;
    }
    const int methods = ssh_userauth_list(ssh_, nullptr);
    std::string tried;
    auto attempt = [&](const char* method, int outcome) {
        if (outcome == SSH_AUTH_ERROR && ConnectionLost())
            Fail("Login");
        if (outcome == SSH_AUTH_SUCCESS) {
            ReportStatus(stStatusText, std::string("Authenticated by ") + method);
            return true;
        }
        tried += (tried.empty() ? "" : ", ") + std::string(method);
        return false;
    };

    if (!PrivateKeyFile.empty() && (methods & SSH_AUTH_METHOD_PUBLICKEY)) {
        ssh_key raw = nullptr;
        if (ssh_pki_import_privkey_file(PrivateKeyFile.c_str(), Password.empty() ? nullptr : Password.c_str(), nullptr,
                                        nullptr, &raw)
            != SSH_OK)
            throw ESftpAuthenticationError("The private key file " + PrivateKeyFile + " cannot be read" +
                                           (Password.empty() ? " (it may need a passphrase)." : " with this passphrase."));
        TKey key(raw);
        if (attempt("public key", ssh_userauth_publickey(ssh_, nullptr, key.get())))
            return;
    }
    const char* agent = std::getenv("SSH_AUTH_SOCK");
    if (agent && *agent && (methods & SSH_AUTH_METHOD_PUBLICKEY)
        && attempt("SSH agent", ssh_userauth_agent(ssh_, nullptr)))
        return;
    // With a key set the password is its passphrase: sending it to the server would give it away.
    if (PrivateKeyFile.empty()) {
        if ((methods & SSH_AUTH_METHOD_PASSWORD) && attempt("password", ssh_userauth_password(ssh_, nullptr, Password.c_str())))
            return;
        if (methods & SSH_AUTH_METHOD_INTERACTIVE) {
            int outcome = ssh_userauth_kbdint(ssh_, nullptr, nullptr);
            for (int round = 0; outcome == SSH_AUTH_INFO && round < MaxKeyboardInteractiveRounds; ++round) {
                const int prompts = ssh_userauth_kbdint_getnprompts(ssh_);
                for (int i = 0; i < prompts; ++i) {
                    char echo = 0;
                    ssh_userauth_kbdint_getprompt(ssh_, i, &echo);
                    // Hidden prompts ask for the password; shown ones for something we do not know.
                    ssh_userauth_kbdint_setanswer(ssh_, i, echo ? "" : Password.c_str());
                }
                outcome = ssh_userauth_kbdint(ssh_, nullptr, nullptr);
            }
            if (attempt("keyboard-interactive", outcome == SSH_AUTH_INFO ? SSH_AUTH_DENIED : outcome))
                return;
        }
    }
    throw ESftpAuthenticationError("Login refused for " + Username + " (tried: " + (tried.empty() ? "nothing" : tried) +
                                   "; the server offers: " + MethodsText(methods) + ").");
}
