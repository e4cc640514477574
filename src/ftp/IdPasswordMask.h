#pragma once
#include <string>
#include <string_view>

// Sent control data with the argument of every PASS line replaced by "****", for logs that
// users see or save.
std::string MaskSentData(std::string_view data);
