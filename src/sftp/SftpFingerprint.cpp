#include "sftp/SftpFingerprint.h"

#include <cctype>

namespace {

// 32 bytes of SHA-256 in base64 without padding.
constexpr std::size_t DigestCharacters = 43;

bool IsBase64(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '/';
}

}  // namespace

std::string NormalizeHostKeyFingerprint(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    std::string digest = text.substr(first);
    while (!digest.empty() && (digest.back() == ' ' || digest.back() == '\t' || digest.back() == '='))
        digest.pop_back();
    static const std::string prefix = "SHA256:";
    if (digest.size() < prefix.size())
        return {};
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(digest[i])) != prefix[i])
            return {};
    digest.erase(0, prefix.size());
    if (digest.size() != DigestCharacters)
        return {};
    for (char c : digest)
        if (!IsBase64(c))
            return {};
    return prefix + digest;
}

bool SameFingerprint(const std::string& a, const std::string& b)
{
    const std::string normalized = NormalizeHostKeyFingerprint(a);
    return !normalized.empty() && normalized == NormalizeHostKeyFingerprint(b);
}
