// Opt-in timing lines on standard error, for measuring the desktop game:
// set VINTARO_TIMING=1. Off by default; the game itself takes no
// configuration from the environment.
#pragma once

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vintaro::sdl {

using TimePoint = std::chrono::steady_clock::time_point;

inline TimePoint timingNow() { return std::chrono::steady_clock::now(); }

inline double timingMs(TimePoint from, TimePoint to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

inline bool timingEnabled() {
  static const bool on = [] {
    const char* v = std::getenv("VINTARO_TIMING");
    return v != nullptr && std::strcmp(v, "") != 0 && std::strcmp(v, "0") != 0;
  }();
  return on;
}

// printf-style; prints "vintaro-timing: ..." and a line break when enabled.
__attribute__((format(printf, 1, 2))) inline void timingLog(const char* format, ...) {
  if (!timingEnabled()) return;
  char line[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  std::fprintf(stderr, "vintaro-timing: %s\n", line);
}

// When the program began: taken as it starts, before main().
inline const TimePoint kProcessStart = timingNow();
inline TimePoint processStart() { return kProcessStart; }

}  // namespace vintaro::sdl
