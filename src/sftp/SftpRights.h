#pragma once
#include <string>

// The rights as "ls -l" shows them ("drwxr-xr-x"): the type letter, then the permission bits of
// the mode, set-id and sticky bits in the execute columns.
std::string RightsText(char type, unsigned mode);
