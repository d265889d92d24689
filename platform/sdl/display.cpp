#include "platform/sdl/display.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace vintaro::sdl {

namespace {

const char* orNone(const char* s) { return s != nullptr && *s != '\0' ? s : "(not set)"; }

void sayNoDisplay(const char* why) {
  std::fprintf(stderr,
               "vintaro: no display to show the game on (DISPLAY %s, WAYLAND_DISPLAY %s): %s\n",
               orNone(std::getenv("DISPLAY")), orNone(std::getenv("WAYLAND_DISPLAY")), why);
}

// Whether `driver` is one of the comma-separated names in `requested`, as SDL
// matches them: without regard to case.
bool driverRequested(const char* driver, const char* requested) {
  if (driver == nullptr || requested == nullptr) return false;
  const std::string_view want(driver);
  std::string_view list(requested);
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    const std::string_view name = list.substr(0, comma);
    if (name.size() == want.size() && SDL_strncasecmp(name.data(), driver, name.size()) == 0) {
      return true;
    }
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return false;
}

}  // namespace

bool startVideo() {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    sayNoDisplay(SDL_GetError());
    return false;
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  const std::string_view name = driver != nullptr ? driver : "";
  if ((name == "offscreen" || name == "dummy") &&
      !driverRequested(driver, std::getenv("SDL_VIDEODRIVER"))) {
    sayNoDisplay("none of SDL's video drivers could open one");
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  return true;
}

}  // namespace vintaro::sdl
