#pragma once
#include <algorithm>
#include <chrono>
#include <climits>

// Waits that may be split into several (slices, several replies) end together at one deadline.
using TIdClock = std::chrono::steady_clock;

inline TIdClock::time_point DeadlineIn(int milliseconds) {
    return TIdClock::now() + std::chrono::milliseconds(std::max(milliseconds, 0));
}

// Whole milliseconds left until the deadline, rounded up; 0 once it has passed.
inline int MillisecondsUntil(TIdClock::time_point deadline) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - TIdClock::now()).count();
    return static_cast<int>(std::clamp<decltype(left)>(left, 0, INT_MAX));
}
