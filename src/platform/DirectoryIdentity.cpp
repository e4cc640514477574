#include "platform/DirectoryIdentity.h"

#include <sys/stat.h>

std::optional<DirectoryIdentity> IdentityOfDirectory(const std::string& path)
{
    struct stat info{};
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return std::nullopt;
    return DirectoryIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}
