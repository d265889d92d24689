// How big the client area is drawn and where: a window of the chosen scale,
// or the whole display at the largest scale that fits (F11, Alt+Enter).
// Whole-number scales only, so that every pixel of the game stays a crisp
// square. The arithmetic needs no display.
#pragma once

#include <SDL.h>

namespace vintaro::sdl {

inline constexpr int kMaxWindowScale = 8;

struct Layout {
  int scale = 1;
  int x = 0, y = 0;     // where the client area's top-left corner lies in the window
  bool framed = false;  // full screen: the client area alone, on black
  friend bool operator==(const Layout&, const Layout&) = default;
};

// The window's scale when none is asked for: the largest whose client area
// fits within three quarters of the display's usable area, 1 to
// kMaxWindowScale.
int defaultScale(int usableWidth, int usableHeight, int clientWidth, int clientHeight);

// Full screen on a `width` x `height` display: the largest scale that fits,
// centred.
Layout fullScreenLayout(int width, int height, int clientWidth, int clientHeight);

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
