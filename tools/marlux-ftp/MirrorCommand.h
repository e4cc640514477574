#pragma once
#include "ToolCommandLine.h"

#include <ostream>

class TToolSession;

struct TMirrorArguments {
    // Uploads LOCAL to REMOTE; without it REMOTE is downloaded into LOCAL.
    bool reverse = false;
    // Deletes on the receiving side the files the sending side lacks.
    bool deleteMissing = false;
    bool dryRun = false;
    // Connections for the files, this one included.
    int parallel = 1;
    bool onlyNewer = false;
    std::string local;
    std::string remote;
};

// Throws UsageError.
TMirrorArguments ParseMirrorArguments(const std::vector<std::string>& arguments);

// Plans the walk between LOCAL and REMOTE and prints it (--dry-run) or runs it, printing the
// count of what moved. Returns the tool's exit status: 0 when every file moved, 1 when one
// failed, 3 when one arrived different; errors outside a file's transfer are raised.
int RunMirror(TToolSession& session, const ToolOptions& options, const TMirrorArguments& mirror, std::ostream& out);
