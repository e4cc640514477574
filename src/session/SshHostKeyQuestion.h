#pragma once
#include <QString>

#include <string>

// What the user is shown about an SFTP server's host key: for a key not yet trusted, the
// question whether to trust it for the profile (Yes trusts); for a key other than the trusted
// one, the refusal, which asks nothing because such a key is never accepted.
QString SshHostKeyQuestion(const std::string& fingerprint, const std::string& keyType, bool changed);
