// Reading what servers say about digests (draft-bryan-ftp-hash, and the older X commands).
#include "ftp/IdVerification.h"

#include "ftp/IdFTPListParse.h"
#include "ftp/IdFeatureList.h"
#include "ftp/IdText.h"

#include <algorithm>
#include <cctype>

namespace {

std::string MismatchMessage(const TIdVerification& v, const std::string& fileName, const std::string& partName) {
    std::string message = "Verification failed for \"" + PrintableText(fileName) + "\": ";
    message += v.Algorithm == "size" ? "the server reports " + v.Actual + " bytes, but the transfer leads to " +
                                           v.Expected + " bytes"
                                     : "the server's " + v.Algorithm + " digest " + v.Actual +
                                           " differs from the digest of the bytes transferred " + v.Expected;
    message += partName.empty() ? "." : "; the file was renamed to \"" + PrintableText(partName) + "\".";
    return message;
}

// The next blank-separated word of `text`, taken off its front.
std::string_view NextWord(std::string_view& text) {
    text = Trim(text);
    const size_t blank = std::min(text.find(' '), text.size());
    const std::string_view word = text.substr(0, blank);
    text.remove_prefix(blank);
    return word;
}

}  // namespace

EIdVerificationFailed::EIdVerificationFailed(const TIdVerification& verification, const std::string& fileName,
                                             const std::string& partName)
    : EIdException(MismatchMessage(verification, fileName, partName)),
      verification_(verification),
      fileName_(fileName),
      partName_(partName) {}

TIdVerification Unverified(std::string reason) {
    TIdVerification verification;
    verification.Reason = std::move(reason);
    return verification;
}

std::optional<TIdDigestAlgorithm> DigestAlgorithmNamed(std::string_view name) {
    for (TIdDigestAlgorithm algorithm : DigestAlgorithms)
        if (listing::EqualsNoCase(name, DigestName(algorithm))) return algorithm;
    return std::nullopt;
}

TIdHashFeature ParseHashFeature(const std::vector<std::string>& features) {
    TIdHashFeature offer;
    for (const TIdFeatureEntry& entry : FeatureEntries(features, "HASH")) {
        const std::optional<TIdDigestAlgorithm> algorithm = DigestAlgorithmNamed(entry.name);
        if (!algorithm) continue;
        offer.algorithms.push_back(*algorithm);
        if (entry.marked) offer.selected = algorithm;
    }
    return offer;
}

std::optional<TIdHashReply> ParseHashReply(std::string_view line) {
    TIdHashReply reply;
    const std::optional<TIdDigestAlgorithm> algorithm = DigestAlgorithmNamed(NextWord(line));
    const std::string_view range = NextWord(line);
    const size_t dash = range.find('-');
    if (!algorithm || dash == std::string_view::npos) return std::nullopt;
    reply.algorithm = *algorithm;
    reply.start = StrToInt64Def(range.substr(0, dash), -1);
    reply.end = StrToInt64Def(range.substr(dash + 1), -1);
    const std::optional<std::string> hex = DigestHex(NextWord(line), *algorithm);
    if (reply.start < 0 || reply.end < reply.start || !hex) return std::nullopt;
    reply.hex = *hex;
    return reply;
}

std::optional<std::string> DigestHex(std::string_view text, TIdDigestAlgorithm algorithm) {
    const size_t length = DigestHexLength(algorithm);
    const bool fits = text.size() == length || (algorithm == daCRC32 && !text.empty() && text.size() < length);
    if (!fits || !std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
        return std::nullopt;
    std::string hex(length - text.size(), '0');
    for (char c : text) hex += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return hex;
}
