#include "session/SshSettings.h"

#include "platform/IniFile.h"
#include "sftp/SftpFingerprint.h"

#include <QByteArrayView>

TProtocol ProtocolFromKey(std::string_view key)
{
    const bool sftp = QByteArrayView(key.data(), qsizetype(key.size()))
                          .compare(ProtocolKey(TProtocol::Sftp), Qt::CaseInsensitive) == 0;
    return sftp ? TProtocol::Sftp : TProtocol::Ftp;
}

const char* ProtocolKey(TProtocol protocol)
{
    return protocol == TProtocol::Sftp ? "SFTP" : "FTP";
}

TSshSettings ReadSshSettings(const TIniFile& ini, const std::string& section)
{
    const std::string storedHostKey = ini.ReadString(section, SshHostKeyKeyName, "");
    const std::string canonical = NormalizeHostKeyFingerprint(storedHostKey);
    return {.sftp = ProtocolFromKey(ini.ReadString(section, ProtocolKeyName, "")) == TProtocol::Sftp,
            .keyFile = QString::fromStdString(ini.ReadString(section, SshKeyFileKeyName, "")),
            // A value that is no fingerprint is handed on as it is: the engine then refuses the
            // server's key as not the trusted one, rather than asking afresh as if none were stored.
            .trustedHostKey = canonical.empty() ? storedHostKey : canonical};
}
