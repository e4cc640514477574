// Transfers over data connections: listings, downloads and uploads, passive and active.
#include "ftp/IdFTP.h"

#include "ftp/IdException.h"
#include "ftp/IdText.h"
#include "platform/SocketError.h"

#include <algorithm>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

namespace {

// How long the replies due after a failed or aborted transfer are waited for in all (never
// longer than ReadTimeout): long enough for a slow server, short enough not to freeze the
// session when none comes.
constexpr int PendingReplyMs = 5000;
constexpr int FurtherReplyMs = 1000;
// A server sends one preliminary reply per transfer; a stream of them is a flood.
constexpr int MaxPreliminaryReplies = 10;

bool FileExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

}  // namespace

void TIdFTP::List(std::vector<std::string>* destination, const std::string& specifier, bool details) {
    ReceiveListing(std::string(Trim((details ? "LIST " : "NLST ") + specifier)), false);
    if (destination) destination->assign(ListLines.begin(), ListLines.end());
    // NLST's lines are the names; a detailed listing's are read once parsed.
    if (!details) NameCodec.Observe(std::vector<std::string_view>(ListLines.begin(), ListLines.end()));
}

void TIdFTP::ReceiveListing(const std::string& command, bool machine) {
    auto listing = std::make_shared<TIdFTPListBuffer>(MaxListingBytes);
    TransferGet(command, *listing, leUnchanged, false);
    parsedListing_.reset();
    listedByMlsd_ = machine;
    ListLines = TIdListLines(std::move(listing));
}

TIdFTPListItems& TIdFTP::ParsedListing() {
    if (!parsedListing_) {
        parsedListing_ = std::make_unique<TIdFTPListItems>();
        if (listedByMlsd_) {
            parsedListing_->ListFormat = lfMlsd;
            parsedListing_->LoadLines(ListLines);
        } else {
            ParseListing(ListLines, *parsedListing_);
        }
        for (const std::string& report : SkippedLineReports(*parsedListing_)) ReportStatus(stStatusText, report);
        std::vector<std::string_view> names;
        names.reserve(parsedListing_->Count());
        for (const TIdFTPListItem& item : *parsedListing_) names.push_back(item.Name());
        NameCodec.Observe(names);
    }
    return *parsedListing_;
}

void TIdFTP::Get(const std::string& remoteName, TIdStream& destination, bool resume) {
    GetVerified(remoteName, destination, resume, std::nullopt, {});
    if (LastVerification.Kind == vkMismatch) RaiseMismatch(remoteName, {});
}

void TIdFTP::GetVerified(const std::string& remoteName, TIdStream& destination, bool resume,
                         std::optional<int64_t> listedSize, const std::function<void()>& accepted) {
    resume = resume && ResumeSupported();
    const int64_t start = resume ? destination.Position() : 0;
    VerifyPlan plan = PlanVerification(resume);
    if (plan.reason.empty() && !plan.algorithm) plan.listedSize = listedSize;
    LastVerification = Unverified("the transfer did not complete");
    std::optional<TIdDigestWorker> digest;
    if (plan.algorithm) digest.emplace(*plan.algorithm);
    TIdDigestStream counted(destination, digest ? &*digest : nullptr);
    TransferGet("RETR " + remoteName, counted, FileLineEnds(), resume, accepted);
    LastVerification = CheckTransfer(remoteName, plan, digest ? &*digest : nullptr, start, counted.Bytes());
}

void TIdFTP::Get(const std::string& remoteName, const std::string& localFile, bool mayOverwrite, bool resume,
                 std::optional<int64_t> listedSize) {
    TIdFileStream file;
    bool create = true;
    if (FileExists(localFile)) {
        resume = resume && ResumeSupported();
        if (mayOverwrite == resume) throw EIdFTPFileAlreadyExists();
        create = mayOverwrite;
        if (resume) file.OpenAppend(localFile);
    }
    GetVerified(remoteName, file, resume, listedSize, [&] {
        if (create) file.Create(localFile);
    });
    // The last gathered bytes: a disk that fills up now fails the download too.
    file.Flush();
    if (LastVerification.Kind != vkMismatch) return;
    file.Close();
    // Never over another file: a failed download must not cost the user one. Only a plain file
    // is renamed: a download into /dev/null or a pipe leaves nothing to mark.
    const std::string partName = localFile + ".part";
    struct stat info {};
    const bool renamed = stat(localFile.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
                         renameat2(AT_FDCWD, localFile.c_str(), AT_FDCWD, partName.c_str(), RENAME_NOREPLACE) == 0;
    RaiseMismatch(remoteName, renamed ? partName : std::string());
}

void TIdFTP::Put(TIdStream& source, const std::string& remoteName, bool append) {
    LastVerification = Unverified("the transfer did not complete");
    VerifyPlan plan = PlanVerification(append);
    // STOU: the server names the file, and only in a reply text that has no fixed form.
    if (remoteName.empty() && plan.reason.empty()) plan = VerifyPlan::Skipped("the server chose the file's name");
    int64_t start = 0;
    if (append && plan.reason.empty()) {
        const std::optional<int64_t> size = SizeBeforeAppend(remoteName);
        if (size)
            start = *size;
        else
            plan = VerifyPlan::Skipped("the server gave no size before the append");
    }
    std::optional<TIdDigestWorker> digest;
    if (plan.algorithm) digest.emplace(*plan.algorithm);
    TIdDigestStream counted(source, digest ? &*digest : nullptr);
    if (remoteName.empty())
        TransferPut("STOU ", counted, true);
    else if (append)
        TransferPut("APPE " + remoteName, counted, false);
    else
        TransferPut("STOR " + remoteName, counted, true);
    if (pendingSizeChecks_ && !append && !remoteName.empty() && plan.reason.empty() && !plan.algorithm &&
        ListsByMlsd()) {
        pendingSizeChecks_->push_back({remoteName, counted.Bytes()});
        LastVerification = Unverified("the size is checked with the folder's listing");
        return;
    }
    LastVerification = CheckTransfer(remoteName, plan, digest ? &*digest : nullptr, start, counted.Bytes());
    if (LastVerification.Kind == vkMismatch) RaiseMismatch(remoteName, SetDamagedUploadApart(remoteName));
}

std::string TIdFTP::SetDamagedUploadApart(const std::string& remoteName) {
    // Without SIZE to tell whether the name is free, the file keeps its name.
    const std::string partName = remoteName + ".part";
    try {
        if (Supports("SIZE") && FileSize(partName) < 0) {
            RenameFile(remoteName, partName);
            return partName;
        }
    } catch (const EIdException&) {
    }
    return {};
}

void TIdFTP::Put(const std::string& localFile, const std::string& remoteName, bool append) {
    TIdFileStream file;
    file.OpenRead(localFile);
    Put(file, remoteName, append);
}

void TIdFTP::TransferGet(const std::string& command, TIdStream& destination, TIdLineEnds lineEnds, bool resume,
                         const std::function<void()>& accepted) {
    TIdLineEndsToLocal toLocal;
    RunTransfer([&] {
        TIdTCPConnection* channel;
        if (Passive) {
            channel = &ConnectPassiveChannel(RequestPassive());
            if (resume) SendRest(destination.Position());
            WriteLine(command);
            ReadReply({125, 150, 154});
            transferStarted_ = true;
        } else {
            TIdSimpleServer& server = ListenActiveChannel();
            channel = &server;
            if (resume) SendRest(destination.Position());
            SendCommand(command, {125, 150, 154});
            transferStarted_ = true;
            server.Listen();
        }
        SecureDataChannel(*channel);
        if (accepted) accepted();
        channel->ReceiveStream(destination, -1, true, lineEnds == leAscii ? &toLocal : nullptr);
        CheckDataChannelEnd(*channel);
    });
    // The server confirmed the data complete: a CR held back at its end was a CR of its own.
    if (const std::string_view last = toLocal.Finish(); !last.empty()) destination.Write(last.data(), last.size());
}

void TIdFTP::TransferPut(const std::string& command, TIdStream& source, bool fromStart) {
    TIdLineEndsToWire toWire;
    TIdLineEndsToWire* const converter = FileLineEnds() == leAscii ? &toWire : nullptr;
    RunTransfer([&] {
        if (Passive) {
            PassiveAddress passive = RequestPassive();
            WriteLine(command);
            transferStarted_ = true;
            TIdTCPClient& channel = ConnectWithdrawing(passive);
            try {
                ReadReply({110, 125, 150});
            } catch (const EIdProtocolReplyError&) {
                // A refusal is the command's last reply: nothing more is due.
                if (LastReply.NumericCode >= 200) transferStarted_ = false;
                throw;
            }
            SecureDataChannel(channel);
            try {
                channel.SendStream(source, fromStart, converter);
            } catch (const EIdSocketError& e) {
                if (e.LastError() != SocketError::NotSocket) throw;
            }
            channel.EndTls(true);
        } else {
            TIdSimpleServer& server = ListenActiveChannel();
            SendCommand(command, {125, 150});
            transferStarted_ = true;
            server.Listen();
            SecureDataChannel(server);
            server.SendStream(source, fromStart, converter);
            server.EndTls(true);
        }
    });
}

void TIdFTP::RunTransfer(const std::function<void()>& phases) {
    // A request made while the transfer was being set up is meant for it; one made before
    // belonged to an earlier step.
    if (AbortSignal) AbortSignal->Clear();
    ReportStatus(stTransfer, "Starting FTP transfer");
    transferStarted_ = false;
    abortSent_ = false;
    try {
        phases();
    } catch (...) {
        dataChannel_.reset();
        ReportStatus(stReady, "Transfer complete");
        if (transferStarted_) ReadPendingReplies();
        throw;
    }
    dataChannel_.reset();
    ReportStatus(stReady, "Transfer complete");
    ReadClosingReply();
}

void TIdFTP::PrepareDataChannel(TIdTCPConnection& channel) {
    channel.SendBufferSize = SendBufferSize;
    channel.RecvBufferSize = RecvBufferSize;
    channel.OnWork = OnWork;
    channel.OnWorkBegin = OnWorkBegin;
    channel.OnWorkEnd = OnWorkEnd;
    channel.ReadTimeout = ReadTimeout;
    channel.AbortSignal = AbortSignal;
    channel.OnAbortRequest = [this] { Abort(); };
}

TIdTCPClient& TIdFTP::ConnectPassiveChannel(const PassiveAddress& passive) {
    auto client = std::make_unique<TIdTCPClient>();
    TIdTCPClient& channel = *client;
    PrepareDataChannel(channel);
    // The data connection goes where the control connection goes, whatever address the
    // PASV reply names: following it would let a server aim the client at any other host.
    channel.Host = binding_.PeerIP;
    channel.Port = passive.port;
    dataChannel_ = std::move(client);
    channel.Connect(ReadTimeout != 0 ? ReadTimeout : -1);
    return channel;
}

TIdTCPClient& TIdFTP::ConnectWithdrawing(const PassiveAddress& passive) {
    try {
        return ConnectPassiveChannel(passive);
    } catch (...) {
        // The upload's command is out and its server waits for the connection: only ABOR
        // frees it, and the session stays in step.
        Abort();
        throw;
    }
}

TIdSimpleServer& TIdFTP::ListenActiveChannel() {
    auto listener = std::make_unique<TIdSimpleServer>();
    TIdSimpleServer& server = *listener;
    PrepareDataChannel(server);
    server.BoundIP = binding_.IP;
    server.AcceptPeerIP = binding_.PeerIP;
    dataChannel_ = std::move(listener);
    server.BeginListen();
    AnnouncePort(server.ListenIP(), server.ListenPort());
    return server;
}

TIdFTP::PassiveAddress TIdFTP::RequestPassive() {
    if (!binding_.IPv6() && !extendedPassive_) {
        const int code = SendCommand("PASV");
        if (code == 227) return ParsePassiveReply(LastReply.Text.empty() ? std::string() : LastReply.Text.front());
        CheckReply(code < 500 ? code : 227, {227});
        // Refused: servers that drop PASV (or sit behind translation that breaks it) offer EPSV.
        extendedPassive_ = true;
    }
    SendCommand("EPSV", {229});
    return ParseExtendedPassiveReply(LastReply.Text.empty() ? std::string() : LastReply.Text.front());
}

void TIdFTP::AnnouncePort(const std::string& ip, uint16_t port) {
    WriteLine(binding_.IPv6() ? ExtendedPortCommand(ip, port) : PortCommand(ip, port));
    // Some servers answer only once their connection to the listener is made (pyftpdlib does),
    // so a connection that never comes leaves the PORT unanswered.
    bool aborted = false;
    if (!AwaitReply(ReadDeadline(), aborted)) WithdrawPort(aborted);
    ReadReply({200});
}

void TIdFTP::WithdrawPort(bool aborted) {
    Abort();
    // A server that takes one command at a time answers the PORT first, late; one that gives
    // the PORT up answers only the ABOR (225 or 226). Either way nothing more is due.
    const TIdClock::time_point deadline = DeadlineIn(WithinReadTimeout(PendingReplyMs));
    bool inStep = false;
    for (int replies = 0; replies < 2 && !inStep; ++replies) {
        const int left = MillisecondsUntil(deadline);
        if (left == 0 || !ReadReplyWithin(left)) break;
        inStep = replies == 1 || LastReply.NumericCode == 225 || LastReply.NumericCode == 226;
    }
    if (!inStep) Disconnect();
    if (aborted) throw EIdConnClosedGracefully();
    throw EIdConnectTimeout();
}

void TIdFTP::SendRest(int64_t position) { SendCommand("REST " + std::to_string(position), {350}); }

void TIdFTP::ReadClosingReply() {
    int code = ReadReply({225, 226, 250, 426, 450});
    if (code == 426 || code == 450) {
        // Without an ABOR of ours the server owes no second reply; do not wait for one forever.
        if (abortSent_)
            ReadReply({226, 225});
        else
            ReadReplyWithin(WithinReadTimeout(FurtherReplyMs));
        ReportStatus(stAborted, "Transfer aborted");
        throw EIdTransferAborted(code);
    }
    if (abortSent_) {
        // The transfer ended before the ABOR arrived; the ABOR still gets its own reply.
        ReadReplyWithin(WithinReadTimeout(FurtherReplyMs));
    }
}

void TIdFTP::ReadPendingReplies() {
    const TIdClock::time_point deadline = DeadlineIn(WithinReadTimeout(PendingReplyMs));
    const int due = abortSent_ ? 2 : 1;
    int completions = 0, preliminaries = 0;
    while (completions < due && preliminaries <= MaxPreliminaryReplies) {
        const int left = MillisecondsUntil(deadline);
        if (left == 0 || !ReadReplyWithin(left)) break;
        if (LastReply.NumericCode >= 100 && LastReply.NumericCode < 200) {
            ++preliminaries;
        } else {
            ++completions;
            // "No transfer in progress": the ABOR's own reply, and the last one. A server that
            // dropped the transfer command before its data moved never answers that command.
            if (abortSent_ && LastReply.NumericCode == 225) break;
        }
    }
    // Some servers answer an ABOR during a transfer with one reply only; with none at all a
    // late reply would be taken for the next command's.
    if (completions == 0) Disconnect();
}

int TIdFTP::WithinReadTimeout(int timeoutMs) const {
    return ReadTimeout != 0 ? std::min(ReadTimeout, timeoutMs) : timeoutMs;
}

bool TIdFTP::ReadReplyWithin(int timeoutMs) {
    const TIdReadTimeoutScope limit(*this, timeoutMs);
    try {
        ReadRawReply();
        return true;
    } catch (const EIdException&) {
        return false;
    }
}
