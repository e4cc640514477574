#include "service/SftpRemoteEngine.h"

#include "ftp/IdException.h"

TSftpRemoteEngine::TSftpRemoteEngine(TSftpSession& engine, TIdAbortSignal& abortSignal)
    : TRemoteEngineOver(engine), abortSignal_(abortSignal)
{
}

void TSftpRemoteEngine::Connect(int timeoutMs)
{
    engine_.Connect(timeoutMs);
}

void TSftpRemoteEngine::KeepAlive()
{
    // A stat of the current directory: traffic on the SFTP channel, answered by the server,
    // and raising only when the connection is gone.
    engine_.FileSize(".");
}

void TSftpRemoteEngine::ListDirectory(const std::string& mask)
{
    // Bracketed as work, as FTP's listing is a data transfer: the window's busy state, entered
    // for it, ends with the work, however the listing ends.
    engine_.BeginWork(wkReceive);
    try {
        engine_.ListDirectory(mask);
    } catch (...) {
        engine_.EndWork(wkReceive);
        throw;
    }
    engine_.EndWork(wkReceive);
}

const TIdFTPListItems& TSftpRemoteEngine::Listing()
{
    return engine_.ParsedListing();
}

bool TSftpRemoteEngine::ListingUnreadable()
{
    // Every listing keeps the server's own lines beside the attributes.
    return false;
}

void TSftpRemoteEngine::ListForReading()
{
    ListDirectory({});
}

std::vector<std::string> TSftpRemoteEngine::ListingLines()
{
    return engine_.ListingLines();
}

bool TSftpRemoteEngine::ListsExactTimes()
{
    return engine_.ListsExactTimes();
}

void TSftpRemoteEngine::SetTransferType(TIdFTPTransferType)
{
    // SFTP moves the bytes as they are; text conversion is FTP's.
}

void TSftpRemoteEngine::Get(const std::string& remoteName, const std::string& localFile, bool mayOverwrite,
                            bool resume, std::optional<int64_t>)
{
    Transfer([&] { engine_.Get(remoteName, localFile, mayOverwrite, resume); });
}

void TSftpRemoteEngine::Put(const std::string& localFile, const std::string& remoteName, bool append)
{
    Transfer([&] { engine_.Put(localFile, remoteName, append); });
}

void TSftpRemoteEngine::Transfer(const std::function<void()>& transfer)
{
    abortSignal_.Clear();
    try {
        transfer();
    } catch (const EIdTransferAborted&) {
        abortSignal_.Take();
        throw;
    }
}
