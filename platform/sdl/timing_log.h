// Opt-in timing lines on standard error, for measuring the desktop game:
// set VINTARO_TIMING=1. Off by default; the game itself takes no
// configuration from the environment.
#pragma once

#include <chrono>

namespace vintaro::sdl {

using TimePoint = std::chrono::steady_clock::time_point;

inline TimePoint timingNow() { return std::chrono::steady_clock::now(); }

inline double timingMs(TimePoint from, TimePoint to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

bool timingEnabled();

// printf-style; prints "vintaro-timing: ..." and a line break when enabled.
void timingLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// When main() began.
TimePoint processStart();

}  // namespace vintaro::sdl
