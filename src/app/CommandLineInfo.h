#pragma once
#include <optional>
#include <ostream>

// "--help" and "--version" as the first argument: the text goes to out and the process ends
// with the returned status, before anything of the window exists (no display is needed).
// Any other command line gives nothing and starts the window.
std::optional<int> AnswerInfoOption(int argc, const char* const* argv, std::ostream& out);
