#pragma once
#include "ToolCommandLine.h"

#include <ostream>

class TToolSession;

// Throws UsageError for an unknown command or a wrong number of arguments.
void CheckToolCommands(const std::vector<ToolCommand>& commands);
// Runs one command in the open session, printing its result to `out`.
void RunToolCommand(TToolSession& session, const ToolCommand& command, std::ostream& out);
