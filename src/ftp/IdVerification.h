#pragma once
#include "ftp/IdDigest.h"
#include "ftp/IdException.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How a finished transfer was checked against the server's copy of the file.
enum TIdVerificationKind {
    // Not checked; Reason says why.
    vkNotVerified,
    // The server's digest of the file (of the range moved, for a resume or append) equals that of
    // the bytes moved.
    vkVerified,
    // The server offers no digest, but the size it reports is what the transfer leads to.
    vkSizeMatched,
    // The server's digest or size differs: the file is damaged.
    vkMismatch,
};

struct TIdVerification {
    TIdVerificationKind Kind = vkNotVerified;
    // "SHA-256", "SHA-1", "MD5", "CRC32", or "size" for a size comparison.
    std::string Algorithm;
    // Ours, from the bytes moved, and the server's: hex digests in lower case, or decimal sizes.
    std::string Expected;
    std::string Actual;
    // Why it was not verified, e.g. "the server offers no digest".
    std::string Reason;
};

// Not verified, for this reason.
TIdVerification Unverified(std::string reason);

// A transfer whose file differs on the two sides after it completed. Raised after the file on
// the receiving side was renamed to PartName (empty when it could not be renamed, or when the
// data went to a stream rather than a file).
class EIdVerificationFailed : public EIdException {
public:
    EIdVerificationFailed(const TIdVerification& verification, const std::string& fileName, const std::string& partName);
    const TIdVerification& Verification() const { return verification_; }
    // The file's name as the transfer named it on the server (or locally, for a download).
    const std::string& FileName() const { return fileName_; }
    const std::string& PartName() const { return partName_; }

private:
    TIdVerification verification_;
    std::string fileName_;
    std::string partName_;
};

// What the HASH line of a FEAT reply offers: the algorithms this client knows, and the one the
// server marked as selected ("HASH SHA-1*;SHA-256;MD5").
struct TIdHashFeature {
    std::vector<TIdDigestAlgorithm> algorithms;
    std::optional<TIdDigestAlgorithm> selected;
};
TIdHashFeature ParseHashFeature(const std::vector<std::string>& features);

// The algorithm of a HASH name, letter case aside.
std::optional<TIdDigestAlgorithm> DigestAlgorithmNamed(std::string_view name);

// The last line of a HASH reply: "SHA-256 0-49 <hex> <name>".
struct TIdHashReply {
    TIdDigestAlgorithm algorithm = daSHA256;
    int64_t start = 0;
    int64_t end = 0;
    std::string hex;
};
std::optional<TIdHashReply> ParseHashReply(std::string_view line);

// A digest in hex for the algorithm, in lower case; nothing when the text is not one. A CRC32
// may come without its leading zeros.
std::optional<std::string> DigestHex(std::string_view text, TIdDigestAlgorithm algorithm);
