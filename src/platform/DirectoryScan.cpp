#include "platform/DirectoryScan.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <string_view>
#include <unistd.h>

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

unsigned AttributesOf(const std::string& name, const struct stat& info) {
    unsigned attributes = 0;
    if (S_ISDIR(info.st_mode)) attributes |= 0x10;
    if (!(info.st_mode & S_IWUSR)) attributes |= 0x1;
    if (!name.empty() && name[0] == '.') attributes |= 0x2;
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) || S_ISSOCK(info.st_mode) || S_ISFIFO(info.st_mode))
        attributes |= 0x4;
    return attributes == 0 ? 0x80 : attributes;
}

// The target a link holds; empty for an entry that is no link.
std::string LinkTargetOf(int dirFd, const dirent& found) {
    if (found.d_type != DT_LNK && found.d_type != DT_UNKNOWN) return {};
    char target[PATH_MAX];
    const ssize_t length = readlinkat(dirFd, found.d_name, target, sizeof target);
    return length > 0 ? std::string(target, size_t(length)) : std::string();
}

}  // namespace

bool WildcardMatch(const std::string& name, const std::string& mask) {
    if (mask == "*.*" || mask == "*") return true;
    // Iterative match with one backtracking point for the last "*".
    size_t n = 0, m = 0, starMask = std::string::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || Lower(mask[m]) == Lower(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

std::vector<DirectoryEntry> ScanDirectory(const std::string& directory, const std::string& mask) {
    std::vector<DirectoryEntry> entries;
    DIR* dir = opendir(directory.c_str());
    if (!dir) return entries;
    const int dirFd = dirfd(dir);
    while (dirent* found = readdir(dir)) {
        std::string name = found->d_name;
        if (name == "." || name == ".." || !WildcardMatch(name, mask)) continue;
        struct stat info {};
        DirectoryEntry entry;
        // A link shows what it points to; a dangling one shows itself.
        if (fstatat(dirFd, found->d_name, &info, 0) != 0) {
            if (fstatat(dirFd, found->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
            entry.dangling = S_ISLNK(info.st_mode);
        }
        entry.linkTarget = LinkTargetOf(dirFd, *found);
        entry.size = S_ISDIR(info.st_mode) ? 0 : static_cast<int64_t>(info.st_size);
        entry.modified = info.st_mtime;
        entry.attributes = AttributesOf(name, info);
        entry.name = std::move(name);
        entries.push_back(std::move(entry));
    }
    closedir(dir);
    return entries;
}

std::vector<std::string> SubdirectoryNames(const std::string& directory) {
    std::vector<std::string> names;
    DIR* dir = opendir(directory.c_str());
    if (!dir) return names;
    const int dirFd = dirfd(dir);
    while (dirent* found = readdir(dir)) {
        const std::string_view name = found->d_name;
        if (name == "." || name == "..") continue;
        bool isDirectory = found->d_type == DT_DIR;
        if (found->d_type == DT_LNK || found->d_type == DT_UNKNOWN) {
            struct stat info {};
            isDirectory = fstatat(dirFd, found->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
        }
        if (isDirectory) names.emplace_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::vector<std::string>> AllEntryNames(const std::string& directory) {
    DIR* dir = opendir(directory.c_str());
    if (!dir) return std::nullopt;
    std::vector<std::string> names;
    errno = 0;
    while (dirent* found = readdir(dir)) {
        const std::string_view name = found->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    const bool complete = errno == 0;
    closedir(dir);
    if (!complete) return std::nullopt;
    return names;
}

bool IsSpecialFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}
