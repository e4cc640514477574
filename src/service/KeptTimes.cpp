#include "service/KeptTimes.h"

#include "service/RemoteEngine.h"

void KeepTimeOnServer(TRemoteEngine& engine, const TEntryTime& localTime, const std::string& remoteName)
{
    const std::optional<std::int64_t> time = ExactInstant(localTime);
    if (time && engine.ListsExactTimes() && engine.CanSetModificationTime())
        engine.SetModificationTime(remoteName, *time);
}

std::optional<std::int64_t> DownloadedFileTime(TRemoteEngine& engine, const TEntryTime& listedTime,
                                               const std::string& remoteName)
{
    if (std::optional<std::int64_t> exact = ExactInstant(listedTime))
        return exact;
    if (std::optional<std::int64_t> told = engine.ModificationTime(remoteName))
        return told;
    return InstantOf(listedTime);
}
