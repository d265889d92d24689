// The main window's size and scale: a window of the chosen scale, or the
// whole display at the largest scale that fits (F11, Alt+Enter).
#pragma once

#include <SDL.h>

#include "platform/sdl/layout.h"

namespace vintaro::sdl {

class ScreenMode {
 public:
  // `scale` 0: the default for the display the window opens on.
  ScreenMode(int scale, int clientWidth, int clientHeight);

  int windowScale() const { return scale_; }
  bool fullScreen() const { return fullScreen_; }
  void toggle(SDL_Window* window);
  // Where the client area goes in `window` as it is now.
  Layout layout(SDL_Window* window) const;

 private:
  int scale_;
  int clientWidth_, clientHeight_;
  bool fullScreen_ = false;
  SDL_Rect windowed_{};
};

}  // namespace vintaro::sdl
