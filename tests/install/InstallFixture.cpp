#include "install/InstallFixture.h"

#include "fixtures/ProcessRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

std::string BuildTree()
{
    return fs::path(MARLUX_BIN_DIR).parent_path().string();
}

InstalledTree::InstalledTree() : prefix_(dir_.File("prefix"))
{
    const ProcessResult install = RunProcess(MARLUX_CMAKE_COMMAND, {"--install", BuildTree(), "--prefix", prefix_});
    if (install.exitStatus != 0)
        ADD_FAILURE() << "cmake --install failed:\n" << install.out << install.err;
}

std::vector<std::string> InstalledTree::Entries(const std::string& relative) const
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(Path(relative), ec))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::pair<int, int> PngSize(const std::string& path)
{
    const std::string bytes = TempDir::ReadFile(path);
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0)
        return {0, 0};
    // The header chunk's width and height, big-endian.
    uint32_t size[2];
    std::memcpy(size, bytes.data() + 16, sizeof size);
    return {int(ntohl(size[0])), int(ntohl(size[1]))};
}
