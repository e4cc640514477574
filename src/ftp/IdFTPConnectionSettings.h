#pragma once

class TIdFTP;

// Makes `to` connect and log in as `from` does: address, account, proxy, TLS with the
// certificate already trusted, buffers and time-out. Handlers, the connection itself and the
// name encoding (which a connection learns from its listings) are not copied.
void CopyConnectionSettings(const TIdFTP& from, TIdFTP& to);
