#pragma once
#include <QString>

#include <string>
#include <string_view>

class TIniFile;

// The protocol a profile connects with.
enum class TProtocol { Ftp, Sftp };

// Profile keys, written in the profile's section and in section CURRENT.
inline constexpr char ProtocolKeyName[] = "PROTOCOL";
inline constexpr char SshKeyFileKeyName[] = "SSHKEY";
// The host key the user trusted for the profile, as OpenSSH shows its fingerprint.
inline constexpr char SshHostKeyKeyName[] = "SSHHOSTKEY";

// "SFTP", letter case aside, is SFTP; anything else, and no value at all, is FTP, so profiles
// written before there was a choice keep connecting as they did.
TProtocol ProtocolFromKey(std::string_view key);
const char* ProtocolKey(TProtocol protocol);

// What an SFTP connection takes from a profile's section besides host, user and password.
struct TSshSettings {
    bool sftp = false;
    // The private key file; empty when the agent and the password are to be tried alone.
    QString keyFile;
    // "SHA256:..." in canonical form; empty while no key is trusted yet.
    std::string trustedHostKey;
};

TSshSettings ReadSshSettings(const TIniFile& ini, const std::string& section);
