#pragma once
#include <QString>

#include <string>

enum class THostKeyNotice {
    // Not trusted yet: asks whether to trust it for the profile, where it is kept.
    UnknownForProfile,
    // Not trusted yet, in a session opened from an address: asks whether to trust it now.
    UnknownForSession,
    // Other than the trusted key: the refusal, which asks nothing, as such a key is never accepted.
    Changed,
};

// What the user is shown about an SFTP server's host key.
QString SshHostKeyQuestion(const std::string& fingerprint, const std::string& keyType, THostKeyNotice notice);
