// FTP over TLS: securing the control connection, trusting its certificate, protecting the data
// connections.
#include "ftp/IdException.h"
#include "ftp/IdFTP.h"

const std::string& TIdFTP::CertificateHost() const {
    const bool viaProxy = ProxySettings.ProxyType != fpcmNone && !ProxySettings.Host.empty();
    return viaProxy ? ProxySettings.Host : Host;
}

void TIdFTP::SecureControlConnection() {
    tickets_.Clear();
    StartTls(CertificateHost(), {}, &tickets_);
    AcceptPeerCertificate();
    ReportStatus(stStatusText, "TLS connection established: " + Tls()->Protocol() + ", " + Tls()->Cipher());
}

void TIdFTP::AcceptPeerCertificate() {
    TIdCertificateInfo certificate = Tls()->PeerCertificate();
    if (certificate.Fingerprint.empty()) throw EIdTLSError("The server sent no certificate.");
    if (!certificate.Problem.empty()) {
        const std::string trusted = NormalizeFingerprint(TrustedFingerprint);
        if (certificate.Fingerprint != trusted) {
            certificate.Changed = !trusted.empty();
            if (!OnVerifyCertificate || !OnVerifyCertificate(this, certificate))
                throw EIdTLSError(std::string(certificate.Changed ? "The server certificate has changed and is not "
                                                                  : "The server certificate is not ") +
                                  "trusted: " + certificate.Problem + " (SHA-256 " + certificate.Fingerprint + ")");
            TrustedFingerprint = certificate.Fingerprint;
        }
    }
    controlFingerprint_ = certificate.Fingerprint;
}

void TIdFTP::ProtectDataChannels() {
    SendCommand("PBSZ 0", {200});
    SendCommand("PROT P", {200});
}

void TIdFTP::SecureDataChannel(TIdTCPConnection& channel) {
    if (!Tls()) return;
    TIdTlsSessionTicket resume = tickets_.Take();
    channel.StartTls(CertificateHost(), resume ? resume : Tls()->Ticket(), &tickets_);
    // Whoever holds the data connection must be the server the user trusted.
    if (channel.Tls()->PeerCertificate().Fingerprint != controlFingerprint_)
        throw EIdTLSError("The data connection presented another certificate than the control connection.");
}

void TIdFTP::CheckDataChannelEnd(const TIdTCPConnection& channel) const {
    // After our ABOR the cut is ours, and the closing replies tell how the transfer ended.
    if (Tls() && !abortSent_ && !channel.Binding().TlsClosedCleanly)
        throw EIdTLSError("The data connection ended without TLS shutdown; the data may be incomplete.");
}
