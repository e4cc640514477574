// Checking a finished transfer against the server's copy: its digest (draft-bryan-ftp-hash's
// HASH, or the older XSHA256, XSHA1, XMD5, XCRC) or else its size. Only commands FEAT lists are
// sent: the X commands are often missing from FEAT, but a server that does not list them may
// take them for something else or count them as errors.
#include "ftp/IdFTP.h"

#include "ftp/IdText.h"

#include <algorithm>
#include <unordered_map>

namespace {

const char* XCommand(TIdDigestAlgorithm algorithm) {
    switch (algorithm) {
    case daSHA256: return "XSHA256";
    case daSHA1: return "XSHA1";
    case daMD5: return "XMD5";
    case daCRC32: break;
    }
    return "XCRC";
}

// A server reads the whole file before it answers a digest command; at a slow 10 MiB/s that
// may take longer than the usual wait for a reply.
constexpr int64_t SlowDigestBytesPerMs = 10 * 1024 * 1024 / 1000;

// An abort request taken while the server computed its digest.
struct DigestWaitAborted {};

TIdVerification Compared(std::string algorithm, std::string expected, std::string actual) {
    TIdVerification verification;
    verification.Kind = expected != actual ? vkMismatch : algorithm == "size" ? vkSizeMatched : vkVerified;
    verification.Algorithm = std::move(algorithm);
    verification.Expected = std::move(expected);
    verification.Actual = std::move(actual);
    return verification;
}

// The folder of an upload's name as Put was given it: empty for a name in the current folder.
std::string FolderOfPath(const std::string& name) {
    const std::size_t slash = name.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? "/" : name.substr(0, slash);
}

}  // namespace

TIdFTP::VerifyPlan TIdFTP::PlanVerification(bool ranged) const {
    if (!VerifyTransfers) return VerifyPlan::Skipped("verification is off");
    // Type A changes the line ends on the way: the bytes on the two sides differ by design.
    if (transferType_ == ftASCII) return VerifyPlan::Skipped("ASCII mode");
    for (TIdDigestAlgorithm algorithm : DigestAlgorithms)
        if (HashOffers(algorithm, ranged) || Supports(XCommand(algorithm))) {
            VerifyPlan plan;
            plan.algorithm = algorithm;
            plan.ranged = ranged;
            return plan;
        }
    if (!Supports("SIZE")) return VerifyPlan::Skipped("the server offers no digest");
    VerifyPlan bySize;
    bySize.ranged = ranged;
    return bySize;
}

bool TIdFTP::HashOffers(TIdDigestAlgorithm algorithm, bool ranged) const {
    const std::vector<TIdDigestAlgorithm> hashes = ParseHashFeature(Features).algorithms;
    return std::find(hashes.begin(), hashes.end(), algorithm) != hashes.end() && (!ranged || Supports("RANG"));
}

std::optional<int64_t> TIdFTP::SizeBeforeAppend(const std::string& name) {
    if (!Supports("SIZE")) return std::nullopt;
    const int code = SendCommand("SIZE " + name);
    if (code == 550) return 0;
    const int64_t size = code == 213 ? SizeFromReplyText(LastReply.JoinedText()) : -1;
    return size >= 0 ? std::optional<int64_t>(size) : std::nullopt;
}

TIdVerification TIdFTP::CheckTransfer(const std::string& name, const VerifyPlan& plan, TIdDigestWorker* digest,
                                      int64_t start, int64_t bytes) {
    if (!plan.reason.empty()) return Unverified(plan.reason);
    if (digest) {
        // A range cannot be empty in RANG, nor in the X commands' arguments.
        if (plan.ranged && bytes == 0) return Unverified("no bytes were transferred");
        const std::string algorithm(DigestName(digest->Algorithm()));
        // The server's first: the bytes not hashed here yet are hashed while it computes.
        std::optional<std::string> theirs;
        try {
            theirs = ServerDigest(name, digest->Algorithm(), plan.ranged, start, bytes);
        } catch (const DigestWaitAborted&) {
            // The data moved completely, so the file stays; only the check is given up.
            ReportStatus(stStatusText, "\"" + PrintableText(name) + "\" was transferred but not verified: the " +
                                           algorithm + " check was aborted");
            return Unverified("the check was aborted");
        }
        const std::string ours = digest->HexFinal();
        if (!theirs) return Unverified("the server gave no readable " + algorithm + " digest of the file");
        return Compared(algorithm, ours, *theirs);
    }
    const int64_t moved = start + bytes;
    // The file may have changed since it was listed: a count that differs is asked again.
    if (plan.listedSize == moved) return Compared("size", std::to_string(moved), std::to_string(moved));
    const int64_t size = FileSize(name);
    if (size < 0) return Unverified("the server gave no size of the file");
    return Compared("size", std::to_string(moved), std::to_string(size));
}

std::optional<std::string> TIdFTP::ServerDigest(const std::string& name, TIdDigestAlgorithm algorithm, bool ranged,
                                                int64_t start, int64_t bytes) {
    const TIdReadTimeoutScope slow(
        *this, ReadTimeout == 0 ? 0
                                : static_cast<int>(std::min<int64_t>(
                                      INT32_MAX, std::max<int64_t>(ReadTimeout, (start + bytes) / SlowDigestBytesPerMs))));
    std::optional<std::string> digest;
    if (HashOffers(algorithm, ranged)) digest = DigestByHash(name, algorithm, ranged, start, bytes);
    if (!digest && Supports(XCommand(algorithm))) digest = DigestByXCommand(name, algorithm, ranged, start, bytes);
    return digest;
}

int TIdFTP::SendDigestCommand(const std::string& command) {
    WriteLine(command);
    const std::optional<TIdClock::time_point> deadline = ReadDeadline();
    if (!AwaitReplyUnlessAborted(deadline)) throw DigestWaitAborted{};
    const TIdReadTimeoutScope rest(*this, ReadTimeoutUntil(deadline));
    return ReadReply();
}

std::optional<std::string> TIdFTP::DigestByHash(const std::string& name, TIdDigestAlgorithm algorithm, bool ranged,
                                                int64_t start, int64_t bytes) {
    if (hashSelected_ != algorithm) {
        if (SendCommand("OPTS HASH " + std::string(DigestName(algorithm))) != 200) return std::nullopt;
        hashSelected_ = algorithm;
    }
    // RANG takes the last byte, not the end.
    if (ranged && SendCommand("RANG " + std::to_string(start) + " " + std::to_string(start + bytes - 1)) != 350)
        return std::nullopt;
    int code = 0;
    try {
        code = SendDigestCommand("HASH " + name);
    } catch (const DigestWaitAborted&) {
        if (ranged) SendCommandAhead("RANG 1 0");
        throw;
    }
    const std::optional<TIdHashReply> reply =
        code == 213 && !LastReply.Text.empty() ? ParseHashReply(LastReply.Text.back()) : std::nullopt;
    // A range left set would cut the next transfer short.
    if (ranged) SendCommand("RANG 1 0");
    // The reply's range must be the one asked for (its end given as the last byte or the one
    // after): some servers ignore RANG for HASH and hash the whole file.
    const int64_t end = start + bytes;
    if (!reply || reply->algorithm != algorithm ||
        (ranged && (reply->start != start || (reply->end != end && reply->end != end - 1))))
        return std::nullopt;
    return reply->hex;
}

std::optional<std::string> TIdFTP::DigestByXCommand(const std::string& name, TIdDigestAlgorithm algorithm, bool ranged,
                                                    int64_t start, int64_t bytes) {
    std::string command = std::string(XCommand(algorithm)) + " " + name;
    // The arguments are the first byte and the one after the last.
    if (ranged) command += " " + std::to_string(start) + " " + std::to_string(start + bytes);
    if (SendDigestCommand(command) / 100 != 2 || LastReply.Text.empty()) return std::nullopt;
    std::string_view text = Trim(LastReply.Text.back());
    return DigestHex(text.substr(0, text.find(' ')), algorithm);
}

void TIdFTP::DeferSizeChecks() {
    if (!pendingSizeChecks_) pendingSizeChecks_.emplace();
}

std::vector<EIdVerificationFailed> TIdFTP::SettleSizeChecks() {
    std::vector<TPendingSizeCheck> pending = std::move(pendingSizeChecks_).value_or(std::vector<TPendingSizeCheck>());
    pendingSizeChecks_.reset();
    // By folder, in the order the folders were first sent to: one listing each.
    std::vector<std::string> folders;
    for (const TPendingSizeCheck& upload : pending)
        if (std::find(folders.begin(), folders.end(), FolderOfPath(upload.name)) == folders.end())
            folders.push_back(FolderOfPath(upload.name));
    std::vector<EIdVerificationFailed> failures;
    for (const std::string& folder : folders) {
        const std::unordered_map<std::string, int64_t> listed = ListedSizes(folder);
        for (const TPendingSizeCheck& upload : pending) {
            if (FolderOfPath(upload.name) != folder) continue;
            const auto found = listed.find(upload.name.substr(upload.name.rfind('/') + 1));
            const int64_t size = found != listed.end() ? found->second : FileSize(upload.name);
            const std::string moved = std::to_string(upload.moved);
            LastVerification = size < 0 ? Unverified("the server gave no size of the file")
                                         : Compared("size", moved, std::to_string(size));
            if (LastVerification.Kind != vkMismatch) continue;
            const std::string partName = SetDamagedUploadApart(upload.name);
            failures.emplace_back(LastVerification, upload.name, partName);
            ReportStatus(stStatusText, failures.back().what());
        }
    }
    return failures;
}

std::unordered_map<std::string, int64_t> TIdFTP::ListedSizes(const std::string& folder) {
    std::unordered_map<std::string, int64_t> listed;
    try {
        ListFolder(folder);
    } catch (const EIdProtocolReplyError&) {
        // A folder the server will not list: each file is asked by SIZE.
        return listed;
    }
    for (const TIdFTPListItem& item : ParsedListing())
        if (item.SizeKnown) listed.emplace(item.Name(), item.Size);
    return listed;
}

void TIdFTP::RaiseMismatch(const std::string& name, const std::string& partName) {
    const EIdVerificationFailed failure(LastVerification, name, partName);
    ReportStatus(stStatusText, failure.what());
    throw failure;
}
