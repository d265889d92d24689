// The main window's client area: a surface of the game's own that keeps what
// was drawn between paints (the painter draws only what changed), put on the
// SDL window surface when a paint ends, each pixel as a square of the
// layout's scale. The status bar is laid over it at the place it was made.
#pragma once

#include <SDL.h>

#include "app/platform.h"
#include "platform/sdl/screen_mode.h"

namespace vintaro::sdl {

class StatusBarView;

class ClientSurface {
 public:
  // A client area of at least `width` x `height`, filled with `background`.
  ClientSurface(SDL_Window* window, int width, int height, Rgb background);
  ~ClientSurface();
  ClientSurface(const ClientSurface&) = delete;
  ClientSurface& operator=(const ClientSurface&) = delete;

  bool ok() const { return pixels_ != nullptr; }

  void setPixel(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= pixels_->w || y >= pixels_->h) return;
    auto* row =
        reinterpret_cast<Uint32*>(static_cast<Uint8*>(pixels_->pixels) + y * pixels_->pitch);
    row[x] = Uint32{c.r} << 16 | Uint32{c.g} << 8 | Uint32{c.b};
    if (x < dirtyX0_) dirtyX0_ = x;
    if (x > dirtyX1_) dirtyX1_ = x;
    if (y < dirtyY0_) dirtyY0_ = y;
    if (y > dirtyY1_) dirtyY1_ = y;
  }
  Rgb pixel(int x, int y) const;

  // The whole client area to the background (an erasing paint).
  void erase();
  // The window's client area has a new size (in window pixels): the surface
  // grows to cover it.
  void resized(int width, int height);
  // Scale and place on the window. A framed layout shows the client area of
  // the size first asked for, alone, on black.
  void setLayout(const Layout& layout);
  const Layout& layout() const { return layout_; }
  // Everything is to be put on the window again (it was uncovered).
  void markAllDirty();

  // Puts what changed since the last present, and the status bar if it
  // changed or was painted over, on the window. Answers whether anything was.
  bool present(StatusBarView* bar);
  bool dirty() const { return dirtyX0_ <= dirtyX1_; }

 private:
  void clearDirty() {
    dirtyX0_ = dirtyY0_ = 1 << 30;
    dirtyX1_ = dirtyY1_ = -1;
  }

  // Puts `area` of the client area (clipped to what is shown) on `screen`;
  // answers the window pixels it covered.
  SDL_Rect put(SDL_Surface* from, SDL_Rect area, SDL_Surface* screen, bool scaled);
  SDL_Rect shown() const;

  SDL_Window* window_;
  SDL_Surface* pixels_ = nullptr;  // XRGB8888
  Rgb background_;
  int width_, height_;
  Layout layout_;
  bool blackPending_ = false;  // the margins of a framed layout are still to be filled
  int dirtyX0_, dirtyY0_, dirtyX1_, dirtyY1_;
};

}  // namespace vintaro::sdl
