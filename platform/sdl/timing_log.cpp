#include "platform/sdl/timing_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vintaro::sdl {

namespace {
const TimePoint kStart = timingNow();
}

bool timingEnabled() {
  static const bool on = [] {
    const char* v = std::getenv("VINTARO_TIMING");
    return v != nullptr && std::strcmp(v, "") != 0 && std::strcmp(v, "0") != 0;
  }();
  return on;
}

void timingLog(const char* format, ...) {
  if (!timingEnabled()) return;
  char line[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  std::fprintf(stderr, "vintaro-timing: %s\n", line);
}

TimePoint processStart() { return kStart; }

}  // namespace vintaro::sdl
