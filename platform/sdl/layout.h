// How big the client area is drawn and where: whole-number scales only, so
// that every pixel of the game stays a crisp square. Pure arithmetic.
#pragma once

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

}  // namespace vintaro::sdl
