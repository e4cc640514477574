#pragma once
#include "fixtures/ProcessRun.h"

#include <string>
#include <vector>

using Strings = std::vector<std::string>;

// The tool run to its end with these arguments.
inline ProcessResult MarluxFtp(const Strings& arguments, const Strings& environment = {}) {
    return RunProcess(std::string(MARLUX_BIN_DIR) + "/marlux-ftp", arguments, environment);
}

// `options`, the loopback address of `port`, then `commands`: one run of the tool.
inline ProcessResult MarluxFtpAt(int port, Strings options, const Strings& commands, const Strings& environment = {}) {
    options.push_back("127.0.0.1:" + std::to_string(port));
    options.insert(options.end(), commands.begin(), commands.end());
    return MarluxFtp(options, environment);
}

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
