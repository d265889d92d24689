#include "platform/sdl/client_surface.h"

#include <algorithm>

#include "platform/sdl/status_bar_view.h"

namespace vintaro::sdl {

namespace {

SDL_Surface* makeSurface(int w, int h, Rgb fill) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGB888);
  if (s != nullptr) SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, fill.r, fill.g, fill.b));
  return s;
}

bool intersect(const SDL_Rect& a, const SDL_Rect& b, SDL_Rect& out) {
  return SDL_IntersectRect(&a, &b, &out) == SDL_TRUE;
}

}  // namespace

ClientSurface::ClientSurface(SDL_Window* window, int width, int height, Rgb background)
    : window_(window), background_(background) {
  pixels_ = makeSurface(width, height, background);
  markAllDirty();
}

ClientSurface::~ClientSurface() {
  if (pixels_ != nullptr) SDL_FreeSurface(pixels_);
}

Rgb ClientSurface::pixel(int x, int y) const {
  const auto* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(pixels_->pixels) +
                                                    y * pixels_->pitch);
  const Uint32 v = row[x];
  return Rgb{static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
             static_cast<std::uint8_t>(v)};
}

void ClientSurface::erase() {
  SDL_FillRect(pixels_, nullptr,
               SDL_MapRGB(pixels_->format, background_.r, background_.g, background_.b));
  markAllDirty();
}

void ClientSurface::resized(int width, int height) {
  if (width <= pixels_->w && height <= pixels_->h) return;
  SDL_Surface* bigger =
      makeSurface(std::max(width, pixels_->w), std::max(height, pixels_->h), background_);
  if (bigger == nullptr) return;
  SDL_BlitSurface(pixels_, nullptr, bigger, nullptr);
  SDL_FreeSurface(pixels_);
  pixels_ = bigger;
  markAllDirty();
}

void ClientSurface::markAllDirty() {
  dirtyX0_ = 0;
  dirtyY0_ = 0;
  dirtyX1_ = pixels_ != nullptr ? pixels_->w - 1 : -1;
  dirtyY1_ = pixels_ != nullptr ? pixels_->h - 1 : -1;
}

bool ClientSurface::present(StatusBarView* bar) {
  const bool barChanged = bar != nullptr && bar->changed();
  if (!dirty() && !barChanged) return false;
  SDL_Surface* screen = SDL_GetWindowSurface(window_);
  if (screen == nullptr) return false;
  const SDL_Rect window{0, 0, screen->w, screen->h};

  SDL_Rect rects[2];
  int count = 0;
  SDL_Rect area{};
  const SDL_Rect changedArea{dirtyX0_, dirtyY0_, dirtyX1_ - dirtyX0_ + 1, dirtyY1_ - dirtyY0_ + 1};
  if (dirty() && intersect(changedArea, window, area)) {
    SDL_Rect to = area;
    SDL_BlitSurface(pixels_, &area, screen, &to);
    rects[count++] = area;
  }
  if (bar != nullptr) {
    const SDL_Rect place = bar->place();
    SDL_Rect over{};
    const bool paintedOver = count > 0 && intersect(rects[0], place, over);
    SDL_Rect visible{};
    if ((barChanged || paintedOver) && intersect(place, window, visible)) {
      SDL_Rect from{visible.x - place.x, visible.y - place.y, visible.w, visible.h};
      SDL_Rect to = visible;
      SDL_BlitSurface(bar->surface(), &from, screen, &to);
      rects[count++] = visible;
    }
    bar->shown();
  }
  clearDirty();
  if (count > 0) SDL_UpdateWindowSurfaceRects(window_, rects, count);
  return count > 0;
}

}  // namespace vintaro::sdl
