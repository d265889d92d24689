#include "platform/sdl/client_surface.h"

#include <algorithm>
#include <cstring>

#include "platform/sdl/status_bar.h"

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

bool sameLayout(const SDL_PixelFormat* f) {
  return f->BytesPerPixel == 4 && f->Rmask == 0x00FF0000 && f->Gmask == 0x0000FF00 &&
         f->Bmask == 0x000000FF;
}

// The pixels of `src` in `from` onto `to` with their top-left corner at
// (x, y), each as a `scale` x `scale` square, within `clip` (part of `to`).
// Both surfaces hold 32-bit pixels with red, green and blue in the same bits.
void scaleInto(const SDL_Surface* from, SDL_Rect src, SDL_Surface* to, int x, int y, int scale,
               SDL_Rect clip) {
  const Uint32 alpha = to->format->Amask;
  const auto row = [](const SDL_Surface* s, int at) {
    return reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + at * s->pitch);
  };
  for (int dy = clip.y; dy < clip.y + clip.h; ++dy) {
    Uint32* out = row(to, dy);
    const int ry = dy - y;
    if (dy > clip.y && ry % scale != 0) {
      // The same source row as the one above.
      std::memcpy(out + clip.x, row(to, dy - 1) + clip.x, static_cast<std::size_t>(clip.w) * 4);
      continue;
    }
    const Uint32* in = row(from, src.y + ry / scale);
    for (int dx = clip.x; dx < clip.x + clip.w; ++dx)
      out[dx] = in[src.x + (dx - x) / scale] | alpha;
  }
}

// As scaleInto, clipped to `to`, through SDL's conversion when `to` holds
// another pixel format. Answers the pixels of `to` covered.
SDL_Rect blitScaled(SDL_Surface* from, SDL_Rect src, SDL_Surface* to, int x, int y, int scale) {
  const SDL_Rect target{x, y, src.w * scale, src.h * scale};
  SDL_Rect clip{};
  if (!intersect(target, SDL_Rect{0, 0, to->w, to->h}, clip)) return {};
  if (scale == 1) {
    SDL_Rect part{src.x + clip.x - x, src.y + clip.y - y, clip.w, clip.h};
    SDL_Rect at = clip;
    SDL_BlitSurface(from, &part, to, &at);
    return clip;
  }
  if (sameLayout(to->format)) {
    scaleInto(from, src, to, x, y, scale, clip);
    return clip;
  }
  SDL_Surface* scratch =
      SDL_CreateRGBSurfaceWithFormat(0, clip.w, clip.h, 32, SDL_PIXELFORMAT_RGB888);
  if (scratch == nullptr) return {};
  scaleInto(from, src, scratch, x - clip.x, y - clip.y, scale, SDL_Rect{0, 0, clip.w, clip.h});
  SDL_Rect at = clip;
  SDL_BlitSurface(scratch, nullptr, to, &at);
  SDL_FreeSurface(scratch);
  return clip;
}

}  // namespace

ClientSurface::ClientSurface(SDL_Window* window, int width, int height, Rgb background)
    : window_(window), background_(background), width_(width), height_(height) {
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
  // The window surface is new: a framed layout's margins are black again.
  blackPending_ = layout_.framed;
  markAllDirty();
  width = (width + layout_.scale - 1) / layout_.scale;
  height = (height + layout_.scale - 1) / layout_.scale;
  if (width <= pixels_->w && height <= pixels_->h) return;
  SDL_Surface* bigger =
      makeSurface(std::max(width, pixels_->w), std::max(height, pixels_->h), background_);
  if (bigger == nullptr) return;
  SDL_BlitSurface(pixels_, nullptr, bigger, nullptr);
  SDL_FreeSurface(pixels_);
  pixels_ = bigger;
  markAllDirty();
}

void ClientSurface::setLayout(const Layout& layout) {
  layout_ = layout;
  blackPending_ = layout.framed;
  markAllDirty();
}

SDL_Rect ClientSurface::shown() const {
  return layout_.framed ? SDL_Rect{0, 0, width_, height_} : SDL_Rect{0, 0, pixels_->w, pixels_->h};
}

void ClientSurface::markAllDirty() {
  dirtyX0_ = 0;
  dirtyY0_ = 0;
  dirtyX1_ = pixels_ != nullptr ? pixels_->w - 1 : -1;
  dirtyY1_ = pixels_ != nullptr ? pixels_->h - 1 : -1;
}

bool ClientSurface::present(StatusBarView* bar) {
  const bool barChanged = bar != nullptr && bar->changed();
  if (!dirty() && !barChanged && !blackPending_) return false;
  SDL_Surface* screen = SDL_GetWindowSurface(window_);
  if (screen == nullptr) return false;
  const int scale = layout_.scale;
  const auto at = [&](const SDL_Rect& r) {
    return SDL_Point{layout_.x + r.x * scale, layout_.y + r.y * scale};
  };

  SDL_Rect rects[3];
  int count = 0;
  if (blackPending_) {
    blackPending_ = false;
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
    rects[count++] = SDL_Rect{0, 0, screen->w, screen->h};
    markAllDirty();
  }
  const SDL_Rect view = shown();
  SDL_Rect area{};
  const SDL_Rect changedArea{dirtyX0_, dirtyY0_, dirtyX1_ - dirtyX0_ + 1, dirtyY1_ - dirtyY0_ + 1};
  const bool painted = dirty() && intersect(changedArea, view, area);
  if (painted) {
    const SDL_Point to = at(area);
    const SDL_Rect covered = blitScaled(pixels_, area, screen, to.x, to.y, scale);
    if (covered.w > 0) rects[count++] = covered;
  }
  if (bar != nullptr) {
    // The bar's own pixels are drawn at the layout's scale already.
    const SDL_Rect place = bar->place();
    SDL_Rect over{};
    const bool paintedOver = painted && intersect(area, place, over);
    SDL_Rect visible{};
    if ((barChanged || paintedOver) && intersect(place, view, visible)) {
      const SDL_Rect from{(visible.x - place.x) * scale, (visible.y - place.y) * scale,
                          visible.w * scale, visible.h * scale};
      const SDL_Point to = at(visible);
      const SDL_Rect covered = blitScaled(bar->surface(), from, screen, to.x, to.y, 1);
      if (covered.w > 0) rects[count++] = covered;
    }
    bar->shown();
  }
  clearDirty();
  if (count > 0) SDL_UpdateWindowSurfaceRects(window_, rects, count);
  return count > 0;
}

}  // namespace vintaro::sdl
