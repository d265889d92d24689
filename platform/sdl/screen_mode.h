// How big the client area is drawn and where: a window of the chosen scale,
// or the whole display at the largest scale that fits (F11, Alt+Enter).
// Whole-number scales only, so that every pixel of the game stays a crisp
// square. The arithmetic needs no display.
#pragma once

#include <SDL.h>

#include "app/geometry.h"

namespace vintaro::sdl {

inline constexpr int kMaxWindowScale = 8;

struct Layout {
  int scale = 1;
  int x = 0, y = 0;     // where the client area's top-left corner lies in the window
  bool framed = false;  // full screen: the client area alone, on black
  friend bool operator==(const Layout&, const Layout&) = default;
};

// What a window manager adds around the client area, at most as much as the
// classic frame and caption take: 4 pixels a side and a 19-pixel caption,
// which make the 647 x 646 window of a 639 x 619 client area.
inline constexpr int kFrameWidth = 2 * 4;
inline constexpr int kFrameHeight = 19 + 2 * 4;

// The window's scale when none is asked for, and the largest one asked for
// that is taken: the largest whose window, frame included, fits in the
// display's usable area; 1 to kMaxWindowScale.
int defaultScale(int usableWidth, int usableHeight, int clientWidth, int clientHeight);

// Where a window of `width` x `height` (client area) goes on the usable
// area `usable`: at the game's own place, (100, 50), when it fits there
// whole, frame included; else centred.
SDL_Point windowPlace(const SDL_Rect& usable, int width, int height);

// Full screen on a `width` x `height` display: the largest scale that fits,
// centred.
Layout fullScreenLayout(int width, int height, int clientWidth, int clientHeight);

class ScreenMode {
 public:
  // `scale` 0: the default for the display the window opens on; a larger
  // one than fits is lowered to that (asked() tells what was asked).
  ScreenMode(int scale, int clientWidth, int clientHeight);

  int windowScale() const { return scale_; }
  int asked() const { return asked_; }
  // The usable area the window opens on.
  const SDL_Rect& usable() const { return usable_; }
  bool fullScreen() const { return fullScreen_; }
  // Answers false, with the game left as it was, when full screen could not
  // be had.
  bool toggle(SDL_Window* window);
  // Where the client area goes in `window` as it is now.
  Layout layout(SDL_Window* window) const;

 private:
  int scale_;
  int asked_;
  int clientWidth_, clientHeight_;
  SDL_Rect usable_{0, 0, 0, 0};
  bool fullScreen_ = false;
  SDL_Rect windowed_{};
};

}  // namespace vintaro::sdl
