#pragma once

class TIdFTP;

// Makes `to` connect and log in as `from` does: address, account, proxy, TLS with the
// certificate already trusted, buffers, time-out and name encoding. Handlers and the
// connection itself are not copied.
void CopyConnectionSettings(const TIdFTP& from, TIdFTP& to);
