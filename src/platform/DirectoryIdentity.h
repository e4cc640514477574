#pragma once
#include <cstdint>
#include <optional>
#include <string>

// What a directory is, whatever path leads to it: two paths name the same directory when
// device and inode agree (links followed).
struct DirectoryIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const DirectoryIdentity&) const = default;
};

// The identity of the directory a path names; nothing when it names no directory that can be
// looked at.
std::optional<DirectoryIdentity> IdentityOfDirectory(const std::string& path);
