#include "platform/sdl/screen_mode.h"

#include <algorithm>

namespace vintaro::sdl {

namespace {

int fittingScale(int width, int height, int clientWidth, int clientHeight) {
  return std::max(1, std::min(width / clientWidth, height / clientHeight));
}

}  // namespace

int defaultScale(int usableWidth, int usableHeight, int clientWidth, int clientHeight) {
  return std::min(kMaxWindowScale, fittingScale(usableWidth * 3 / 4, usableHeight * 3 / 4,
                                                clientWidth, clientHeight));
}

Layout fullScreenLayout(int width, int height, int clientWidth, int clientHeight) {
  Layout l;
  l.scale = fittingScale(width, height, clientWidth, clientHeight);
  l.x = std::max(0, (width - clientWidth * l.scale) / 2);
  l.y = std::max(0, (height - clientHeight * l.scale) / 2);
  l.framed = true;
  return l;
}

ScreenMode::ScreenMode(int scale, int clientWidth, int clientHeight)
    : scale_(scale), clientWidth_(clientWidth), clientHeight_(clientHeight) {
  if (scale_ > 0) return;
  SDL_Rect usable{};
  scale_ = SDL_GetDisplayUsableBounds(0, &usable) == 0
               ? defaultScale(usable.w, usable.h, clientWidth, clientHeight)
               : 1;
}

void ScreenMode::toggle(SDL_Window* window) {
  if (!fullScreen_) {
    SDL_GetWindowPosition(window, &windowed_.x, &windowed_.y);
    SDL_GetWindowSize(window, &windowed_.w, &windowed_.h);
    fullScreen_ = SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
    return;
  }
  SDL_SetWindowFullscreen(window, 0);
  // Without a window manager nothing else gives the window its size back.
  SDL_SetWindowSize(window, windowed_.w, windowed_.h);
  SDL_SetWindowPosition(window, windowed_.x, windowed_.y);
  fullScreen_ = false;
}

Layout ScreenMode::layout(SDL_Window* window) const {
  if (!fullScreen_) return Layout{scale_, 0, 0, false};
  int w = 0, h = 0;
  SDL_GetWindowSize(window, &w, &h);
  return fullScreenLayout(w, h, clientWidth_, clientHeight_);
}

}  // namespace vintaro::sdl
