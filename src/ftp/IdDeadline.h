#pragma once
#include <algorithm>
#include <chrono>
#include <climits>
#include <optional>

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

// A ReadTimeout that ends a wait at the deadline: 1 ms at least once it has passed, since 0
// means no limit, which is what no deadline gives.
inline int ReadTimeoutUntil(const std::optional<TIdClock::time_point>& deadline) {
    return deadline ? std::max(MillisecondsUntil(*deadline), 1) : 0;
}

// The next step of a wait that an abort request must be able to end: at most sliceMs when
// sliced (sliceMs >= 0), at most what is left (remainingMs; -1 for no limit).
inline int NextWaitMs(int remainingMs, int sliceMs) {
    if (sliceMs < 0) return remainingMs;
    return remainingMs < 0 ? sliceMs : std::min(sliceMs, remainingMs);
}
