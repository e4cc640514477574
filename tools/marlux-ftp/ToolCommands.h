#pragma once
#include "ToolCommandLine.h"

#include <ostream>

class TToolSession;

// Throws UsageError for an unknown command or a wrong number of arguments.
void CheckToolCommands(const std::vector<ToolCommand>& commands);
// Runs one command in the open session, printing its result to `out`; returns the tool's exit
// status for it (a mirror with files that failed is not 0).
int RunToolCommand(TToolSession& session, const ToolOptions& options, const ToolCommand& command, std::ostream& out);
