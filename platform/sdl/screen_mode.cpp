#include "platform/sdl/screen_mode.h"

#include <algorithm>

namespace vintaro::sdl {

namespace {

int fittingScale(int width, int height, int clientWidth, int clientHeight) {
  return std::max(1, std::min(width / clientWidth, height / clientHeight));
}

}  // namespace

int defaultScale(int usableWidth, int usableHeight, int clientWidth, int clientHeight) {
  return std::min(kMaxWindowScale,
                  fittingScale(usableWidth - kFrameWidth, usableHeight - kFrameHeight, clientWidth,
                               clientHeight));
}

SDL_Point windowPlace(const SDL_Rect& usable, int width, int height) {
  const int outerW = width + kFrameWidth;
  const int outerH = height + kFrameHeight;
  if (kWindowX >= usable.x && kWindowY >= usable.y && kWindowX + outerW <= usable.x + usable.w &&
      kWindowY + outerH <= usable.y + usable.h) {
    return {kWindowX, kWindowY};
  }
  // The window is centred; its client area lies inside the frame, under the
  // caption.
  return {usable.x + std::max(0, (usable.w - outerW) / 2) + kFrameWidth / 2,
          usable.y + std::max(0, (usable.h - outerH) / 2) + kFrameHeight - kFrameWidth / 2};
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
    : scale_(scale), asked_(scale), clientWidth_(clientWidth), clientHeight_(clientHeight) {
  if (SDL_GetDisplayUsableBounds(0, &usable_) != 0) {
    // No display to measure: the scale asked for, or 1.
    usable_ = SDL_Rect{0, 0, 0, 0};
    scale_ = std::max(scale_, 1);
    return;
  }
  const int fits = defaultScale(usable_.w, usable_.h, clientWidth, clientHeight);
  scale_ = scale_ > 0 ? std::min(scale_, fits) : fits;
}

bool ScreenMode::toggle(SDL_Window* window) {
  if (!fullScreen_) {
    SDL_GetWindowPosition(window, &windowed_.x, &windowed_.y);
    SDL_GetWindowSize(window, &windowed_.w, &windowed_.h);
    fullScreen_ = SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
    return fullScreen_;
  }
  SDL_SetWindowFullscreen(window, 0);
  // Without a window manager nothing else gives the window its size back.
  SDL_SetWindowSize(window, windowed_.w, windowed_.h);
  SDL_SetWindowPosition(window, windowed_.x, windowed_.y);
  fullScreen_ = false;
  return true;
}

Layout ScreenMode::layout(SDL_Window* window) const {
  if (!fullScreen_) return Layout{scale_, 0, 0, false};
  int w = 0, h = 0;
  SDL_GetWindowSize(window, &w, &h);
  return fullScreenLayout(w, h, clientWidth_, clientHeight_);
}

}  // namespace vintaro::sdl
