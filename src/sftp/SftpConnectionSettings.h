#pragma once

class TSftpSession;

// Makes `to` connect and log in as `from` does: address, account, key file, the host key
// already trusted, ciphers and time-out. Handlers and the name encoding are not copied.
void CopyConnectionSettings(const TSftpSession& from, TSftpSession& to);
