#pragma once
#include "fixtures/TempDir.h"

#include <string>
#include <vector>

// The build tree installed by "cmake --install" into a fresh prefix.
class InstalledTree {
public:
    InstalledTree();
    std::string Path(const std::string& relative) const { return prefix_ + "/" + relative; }
    // The entries of a folder of the prefix, names sorted.
    std::vector<std::string> Entries(const std::string& relative) const;

private:
    TempDir dir_;
    std::string prefix_;
};

// The build tree's root folder (the parent of its bin/).
std::string BuildTree();

// The width and height a PNG file's header gives, {0, 0} when it is no PNG.
std::pair<int, int> PngSize(const std::string& path);
