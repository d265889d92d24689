#include "platform/sdl/screen_mode.h"

namespace vintaro::sdl {

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
