#include "service/FtpRemoteEngine.h"

void TFtpRemoteEngine::Connect(int timeoutMs)
{
    engine_.Connect(true, timeoutMs);
}

void TFtpRemoteEngine::KeepAlive()
{
    engine_.CurrentDirectory();
}

void TFtpRemoteEngine::ListDirectory(const std::string& mask)
{
    // A listing that fails leaves no lines of the one before to be parsed as its own.
    engine_.ListLines.clear();
    engine_.ListDirectory(mask);
    // Parsed here, on the engine's thread, so that the window only reads it.
    engine_.ParsedListing();
}

const TIdFTPListItems& TFtpRemoteEngine::Listing()
{
    return engine_.ParsedListing();
}

bool TFtpRemoteEngine::ListingUnreadable()
{
    return engine_.MachineListing();
}

void TFtpRemoteEngine::ListForReading()
{
    engine_.List(nullptr);
}

std::vector<std::string> TFtpRemoteEngine::ListingLines()
{
    return {engine_.ListLines.begin(), engine_.ListLines.end()};
}

bool TFtpRemoteEngine::ListsExactTimes()
{
    return engine_.ListsByMlsd();
}

void TFtpRemoteEngine::SetTransferType(TIdFTPTransferType type)
{
    engine_.SetTransferType(type);
}

void TFtpRemoteEngine::Get(const std::string& remoteName, const std::string& localFile, bool mayOverwrite,
                           bool resume, std::optional<int64_t> listedSize)
{
    engine_.Get(remoteName, localFile, mayOverwrite, resume, listedSize);
}

void TFtpRemoteEngine::Put(const std::string& localFile, const std::string& remoteName, bool append)
{
    engine_.Put(localFile, remoteName, append);
}
