#pragma once
#include "ftp/IdDigestWorker.h"
#include "ftp/IdFTPList.h"
#include "ftp/IdSimpleServer.h"
#include "ftp/IdStream.h"
#include "ftp/IdTCPClient.h"
#include "ftp/IdVerification.h"
#include "platform/NameCodec.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

enum TIdFTPTransferType { ftASCII, ftBinary };

// How the connection is encrypted; the values are what profiles store.
enum TIdUseTLS { utNoTLSSupport = 0, utUseExplicitTLS = 1, utUseImplicitTLS = 2 };

enum TIdFtpProxyType {
    fpcmNone,
    fpcmUserSite,
    fpcmSite,
    fpcmOpen,
    fpcmUserPass,
    fpcmTransparent,
    fpcmHttpProxyWithFtp,
};

struct TIdFtpProxySettings {
    TIdFtpProxyType ProxyType = fpcmNone;
    std::string Host;
    std::string UserName;
    std::string Password;
    int Port = 0;
};

// The FTP client: a control connection that speaks the FTP command language. Arguments go into
// the command lines byte for byte, without quoting or conversion.
class TIdFTP : public TIdTCPClient {
public:
    TIdFTP();
    ~TIdFTP() override;

    static constexpr int DefaultReadTimeoutMs = 60000;

    std::string Username;
    std::string Password;
    bool Passive = false;
    TIdFtpProxySettings ProxySettings;
    std::function<void(TIdFTP* sender)> OnAfterClientLogin;

    // Explicit TLS sends AUTH TLS after the greeting; implicit TLS starts the handshake at once
    // (the port is usually 990). Either way the login and every data connection are encrypted.
    TIdUseTLS UseTLS = utNoTLSSupport;
    // The SHA-256 fingerprint of a certificate the user trusts although it failed verification
    // (any case, colons optional). Set to the accepted certificate's when OnVerifyCertificate
    // trusts one, so that the caller can store it.
    std::string TrustedFingerprint;
    // Asked when the server certificate fails verification and is not the trusted one; true
    // trusts it. Without it such a certificate ends the connect.
    std::function<bool(TIdFTP* sender, const TIdCertificateInfo& certificate)> OnVerifyCertificate;

    TIdRFCReply LoginReply;
    std::string SystemName;
    // The feature lines of the server's FEAT reply after login, each without its leading blank;
    // empty when the server has no FEAT.
    std::vector<std::string> Features;
    // The encoding of the server's file names: set its choice before connecting; each
    // connection starts afresh, and each parsed listing teaches it.
    TNameCodec NameCodec;
    // Listings by MLSD where FEAT offers MLST; off for servers whose MLSD is broken.
    bool UseMLSD = true;
    // The raw lines of the last listing, held as received.
    TIdListLines ListLines;
    // A longer listing is refused while it arrives.
    std::size_t MaxListingBytes = TIdFTPListBuffer::MaxListingBytes;
    // Checks each binary Get and Put once complete: against the server's digest of the file (of
    // the range moved, for a resume or append) where FEAT offers one (HASH, else XSHA256, XSHA1,
    // XMD5, XCRC: the strongest algorithm both sides know), else against the size SIZE reports.
    // The local digest is computed while the bytes stream.
    bool VerifyTransfers = true;
    // How the last Get or Put was checked. On a mismatch the file on the receiving side is
    // renamed to "<name>.part" (a local rename for Get into a file, RNFR/RNTO for Put, best
    // effort), a status text says so, and EIdVerificationFailed is raised.
    TIdVerification LastVerification;

    // Connects (to the proxy when one is set), reads the 220 greeting and logs in. Any failure
    // disconnects and is raised again.
    void Connect(bool autoLogin = true, int timeoutMs = -1);
    void Login();

    // In ASCII, files are sent and received as text: CR LF on the wire, LF locally (RFC 959).
    // Offsets for resume and append, and the work counts, are bytes of the local file.
    TIdFTPTransferType TransferType() const { return transferType_; }
    // Stores and sends a new type; ignored while a data channel is open.
    void SetTransferType(TIdFTPTransferType type);
    void SendTransferType();

    void ChangeDirectory(const std::string& directory);
    void ChangeToParent();
    std::string CurrentDirectory();
    void MakeDirectory(const std::string& directory);
    void RemoveDirectory(const std::string& directory);
    void DeleteFile(const std::string& name);
    void RenameFile(const std::string& oldName, const std::string& newName);
    void SiteCommand(const std::string& command);
    // The size from a 213 reply, -1 for any other reply or a text that is not a number.
    int64_t FileSize(const std::string& name);
    // Probes REST once per object; later calls answer from the first probe.
    bool ResumeSupported();
    // Whether FEAT listed the feature (its first word, letter case aside).
    bool Supports(std::string_view feature) const;

    void Quit();
    // Both also close the data channel of a running transfer (without its control connection
    // a transfer cannot end in step) and forget the last listing.
    void Disconnect() override;
    void DropSocket() override;
    // Sends ABOR and closes the data channel, so that a running transfer ends. Another thread
    // asks for it through AbortSignal.
    void Abort();

    // LIST (details) or NLST with the specifier into ListLines, and into `destination` if given.
    // A listing over MaxListingBytes is refused (EIdListingTooLarge) while it arrives.
    void List(std::vector<std::string>* destination, const std::string& specifier = {}, bool details = true);
    // The entries of the current directory for ParsedListing: MLSD where it may be used and no
    // mask is given (MLSD takes a directory, not a pattern), else LIST with the mask. A server
    // that refuses MLSD although FEAT offered it is listed by LIST for the rest of the connection.
    void ListDirectory(const std::string& mask);
    // Whether listings of this connection come by MLSD, with times to the second in UTC.
    bool ListsByMlsd() const;
    // Whether ListLines hold MLSD's lines rather than LIST's.
    bool MachineListing() const { return listedByMlsd_; }
    // ListLines parsed, built on first use after each listing; each skipped line is reported
    // as a status text.
    TIdFTPListItems& ParsedListing();
    // The modification time of a remote file in seconds since the epoch (UTC), by MLST or MDTM
    // where offered; nothing when neither is offered or the server gives no valid time.
    std::optional<std::int64_t> ModificationTime(const std::string& name);
    // Whether the server can be told a file's modification time (MFMT, else SITE UTIME).
    bool CanSetModificationTime() const;
    // Sets a remote file's modification time (seconds since the epoch, UTC); false when the
    // server offers no way or refuses.
    bool SetModificationTime(const std::string& name, std::int64_t unixTime);
    // RETR into the stream at its position; resume sends REST with that position when the
    // server supports it. Checked as VerifyTransfers says; a mismatch raises without a rename.
    void Get(const std::string& remoteName, TIdStream& destination, bool resume = false);
    // RETR into a local file. An existing file is truncated (mayOverwrite) or appended to
    // (resume), but only once the server has accepted the RETR. listedSize: the file's size as
    // a listing gave it; checked by size, a download that adds up to it asks no SIZE afterwards.
    void Get(const std::string& remoteName, const std::string& localFile, bool mayOverwrite, bool resume = false,
             std::optional<int64_t> listedSize = std::nullopt);
    // STOR, APPE (append) or, for an empty remote name, STOU.
    void Put(TIdStream& source, const std::string& remoteName, bool append = false);
    // From here on, a STOR that can be checked by size alone (the server offers no digest)
    // leaves its check to SettleSizeChecks, which reads every size from one machine listing of
    // the folder: a folder of many files needs no SIZE per file. Where listings do not come by
    // MLSD, each upload is checked at once as before.
    void DeferSizeChecks();
    // Checks the uploads left since DeferSizeChecks against one listing of each folder they
    // went to (a name without '/' is in the current directory; SIZE for one the listing does
    // not show, or for all of a folder the server will not list), renaming each damaged one as
    // Put does; gives the failures, each reported as a status text and named as Put was given
    // it. Ends the deferral, also when it raises.
    std::vector<EIdVerificationFailed> SettleSizeChecks();
    void Put(const std::string& localFile, const std::string& remoteName, bool append = false);

    struct PassiveAddress {
        std::string address;
        int port = 0;
    };
    // PASV on IPv4 (EPSV once the server refused PASV), EPSV on IPv6.
    PassiveAddress RequestPassive();
    // PORT on IPv4, EPRT on IPv6.
    void AnnouncePort(const std::string& ip, uint16_t port);
    void CloseDataChannel();
    TIdTCPConnection* DataChannel() const { return dataChannel_.get(); }

private:
    // How a transfer about to start will be checked, decided from FEAT alone. ranged: the
    // transfer covers a part of the server's file from a start on (a resume or an append).
    struct VerifyPlan {
        std::string reason;  // not checked, and why
        std::optional<TIdDigestAlgorithm> algorithm;  // by this digest, else by size
        bool ranged = false;
        // A download's size by the listing: bytes that add up to it need no SIZE afterwards.
        std::optional<int64_t> listedSize;

        static VerifyPlan Skipped(std::string why) {
            VerifyPlan plan;
            plan.reason = std::move(why);
            return plan;
        }
    };
    VerifyPlan PlanVerification(bool ranged) const;
    // Whether HASH offers the algorithm, over a range (with RANG) or the whole file.
    bool HashOffers(TIdDigestAlgorithm algorithm, bool ranged) const;
    // The server's size of a file before an append, which is where the appended bytes start:
    // 0 for a file that does not exist yet; nothing when the server does not tell.
    std::optional<int64_t> SizeBeforeAppend(const std::string& name);
    // Compares the server's digest or size of the file with the `bytes` moved from `start` on.
    TIdVerification CheckTransfer(const std::string& name, const VerifyPlan& plan, TIdDigestWorker* digest, int64_t start,
                                  int64_t bytes);
    // The server's digest in lower-case hex, by HASH and else by the X command; nothing when
    // neither gives a readable one for exactly that range.
    std::optional<std::string> ServerDigest(const std::string& name, TIdDigestAlgorithm algorithm, bool ranged,
                                            int64_t start, int64_t bytes);
    // Sends a command that makes the server read the file, and reads its reply; an abort request
    // taken before the reply begins forgoes it and raises DigestWaitAborted.
    int SendDigestCommand(const std::string& command);
    std::optional<std::string> DigestByHash(const std::string& name, TIdDigestAlgorithm algorithm, bool ranged,
                                            int64_t start, int64_t bytes);
    std::optional<std::string> DigestByXCommand(const std::string& name, TIdDigestAlgorithm algorithm, bool ranged,
                                                int64_t start, int64_t bytes);
    // Renames a damaged upload to "<name>.part", best effort and never over a file the server
    // already has under that name; gives the new name, empty when it kept its own.
    std::string SetDamagedUploadApart(const std::string& remoteName);
    // Reports the mismatch in LastVerification as a status text and raises it.
    [[noreturn]] void RaiseMismatch(const std::string& name, const std::string& partName);
    // The transfer into `destination`, checked into LastVerification.
    void GetVerified(const std::string& remoteName, TIdStream& destination, bool resume,
                     std::optional<int64_t> listedSize, const std::function<void()>& accepted);

    void ForgetListing();
    // LIST, NLST or MLSD into ListLines; machine: the lines are MLSD's.
    void ReceiveListing(const std::string& command, bool machine);
    void TransferGet(const std::string& command, TIdStream& destination, TIdLineEnds lineEnds, bool resume,
                     const std::function<void()>& accepted = {});
    void TransferPut(const std::string& command, TIdStream& source, bool fromStart);
    // Files in type A are text: their line ends are converted both ways.
    TIdLineEnds FileLineEnds() const { return transferType_ == ftASCII ? leAscii : leUnchanged; }
    // Runs the phases of one transfer; the data channel is always freed, then the closing
    // reply is read, or after a failure whatever replies are still pending.
    void RunTransfer(const std::function<void()>& phases);
    void PrepareDataChannel(TIdTCPConnection& channel);
    TIdTCPClient& ConnectPassiveChannel(const PassiveAddress& passive);
    // The same after the transfer command went out: a connection that fails withdraws it.
    TIdTCPClient& ConnectWithdrawing(const PassiveAddress& passive);
    TIdSimpleServer& ListenActiveChannel();
    // After a PORT (or EPRT) whose reply did not begin in time or whose wait an abort request
    // ended: ABOR withdraws it and the replies due are read within one bounded wait; raises
    // EIdConnectTimeout, or EIdConnClosedGracefully for the abort.
    [[noreturn]] void WithdrawPort(bool aborted);
    void SendRest(int64_t position);
    void ReadClosingReply();
    // Reads the replies a failed transfer left due, within one bounded wait; a control
    // connection that cannot be brought back into step is dropped.
    void ReadPendingReplies();
    bool ReadReplyWithin(int timeoutMs);
    // A short wait of ours, never longer than ReadTimeout.
    int WithinReadTimeout(int timeoutMs) const;

    // The host whose certificate the control connection must present.
    const std::string& CertificateHost() const;
    void SecureControlConnection();
    void AcceptPeerCertificate();
    void ProtectDataChannels();
    // TLS on a data connection, resuming the control connection's session, with its certificate.
    void SecureDataChannel(TIdTCPConnection& channel);
    // A download over TLS must end with the server's close notification: without it the data
    // may have been cut short.
    void CheckDataChannelEnd(const TIdTCPConnection& channel) const;

    void SendUser(const std::string& userLine, const std::string& passLine);
    // FEAT, and OPTS UTF8 ON where the server offers UTF-8 names and the profile lets it.
    void RequestFeatures();
    // OPTS MLST where the server offers the file mode fact without sending it unasked.
    void RequestModeFact();
    void ProxyLoginStep();

    std::unique_ptr<TIdTCPConnection> dataChannel_;
    std::unique_ptr<TIdFTPListItems> parsedListing_;
    // The last listing came by MLSD; MLSD was refused on this connection.
    bool listedByMlsd_ = false;
    bool mlsdRefused_ = false;
    // Set once the server has accepted a transfer command, so that a closing reply is due.
    bool transferStarted_ = false;
    bool abortSent_ = false;
    TIdFTPTransferType transferType_ = ftBinary;
    bool resumeProbed_ = false;
    bool resumeSupported_ = false;
    bool extendedPassive_ = false;
    // The algorithm HASH answers with now: as FEAT marked it, then as OPTS HASH set it.
    std::optional<TIdDigestAlgorithm> hashSelected_;
    // A folder's entries by its path, by MLSD where listings come by MLSD; an empty path is
    // the current directory, listed as ListDirectory does.
    void ListFolder(const std::string& folder);
    // The sizes a listing of the folder gives by name; none when the server refuses to list it.
    std::unordered_map<std::string, int64_t> ListedSizes(const std::string& folder);
    // The uploads whose size check waits for SettleSizeChecks, with the bytes each moved; none
    // while checks are not deferred.
    struct TPendingSizeCheck {
        std::string name;
        int64_t moved = 0;
    };
    std::optional<std::vector<TPendingSizeCheck>> pendingSizeChecks_;
    std::string controlFingerprint_;
    TIdTlsTicketPool tickets_;
};

// The address and port of a 227 reply's first text line: between the parentheses, or after
// the last blank. A port field that is not a number raises EConvertError.
TIdFTP::PassiveAddress ParsePassiveReply(const std::string& line);
// The port of a 229 reply's first text line, "(|||port|)" with any delimiter; the address is
// left empty (the data connection goes to the control connection's peer).
TIdFTP::PassiveAddress ParseExtendedPassiveReply(const std::string& line);
// "EPRT |1|ip|port|" or "EPRT |2|ip|port|".
std::string ExtendedPortCommand(const std::string& ip, uint16_t port);
// "PORT h1,h2,h3,h4,p1,p2".
std::string PortCommand(const std::string& ip, uint16_t port);
// The path between the first two double quotes of a PWD reply line, empty without them.
std::string QuotedPath(const std::string& line);
// The number after the first blank of a SIZE reply's trimmed text, -1 when it is not a number.
int64_t SizeFromReplyText(const std::string& text);
