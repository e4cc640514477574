#pragma once
#include <string>

// A host key fingerprint as OpenSSH shows it: "SHA256:" and 43 characters of unpadded base64.
// The prefix may come in any letter case and with padding or blanks around; returns the
// canonical form, or an empty string for anything else.
std::string NormalizeHostKeyFingerprint(const std::string& text);

// Whether two fingerprints name the same key (false when either is not one).
bool SameFingerprint(const std::string& a, const std::string& b);
