#include "platform/sdl/message_box.h"

#include <algorithm>
#include <vector>

#include "art/box_icons.h"
#include "platform/sdl/status_bar.h"

namespace vintaro::sdl {

namespace {

// The classic box at 96 dpi: a 32-pixel icon, a 75 x 23 button.
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kIconGap = 12;
constexpr int kTextRight = 18;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 14;
constexpr int kBottomMargin = 11;
constexpr int kMinWidth = 160;
// Room in the title bar for the window manager's buttons beside the caption.
constexpr int kTitleButtons = 90;

constexpr BarColour kDarkShadow{64, 64, 64};
constexpr BarColour kFrame{0, 0, 0};

Uint32 mapColour(const SDL_Surface* s, BarColour c) { return SDL_MapRGB(s->format, c.r, c.g, c.b); }

void fill(SDL_Surface* s, int x, int y, int w, int h, BarColour c) {
  const SDL_Rect r{x, y, w, h};
  SDL_FillRect(s, &r, mapColour(s, c));
}

// A raised or sunken edge `n` pixels thick: `topLeft` above and to the left.
void edge(SDL_Surface* s, const SDL_Rect& r, BarColour topLeft, BarColour bottomRight, int n) {
  fill(s, r.x, r.y, r.w - n, n, topLeft);
  fill(s, r.x, r.y, n, r.h - n, topLeft);
  fill(s, r.x, r.y + r.h - n, r.w, n, bottomRight);
  fill(s, r.x + r.w - n, r.y, n, r.h, bottomRight);
}

SDL_Rect inset(const SDL_Rect& r, int by) {
  return {r.x + by, r.y + by, r.w - 2 * by, r.h - 2 * by};
}

// The dotted focus rectangle: every other dot, each `n` x `n` pixels.
void focusRect(SDL_Surface* s, const SDL_Rect& r, BarColour c, int n) {
  const Uint32 v = mapColour(s, c);
  const auto dot = [s, v, n](int x, int y) {
    if ((x + y) / n % 2 != 0) return;
    const SDL_Rect p{x, y, n, n};
    SDL_FillRect(s, &p, v);
  };
  for (int x = r.x; x < r.x + r.w; x += n) {
    dot(x, r.y);
    dot(x, r.y + r.h - n);
  }
  for (int y = r.y; y < r.y + r.h; y += n) {
    dot(r.x, y);
    dot(r.x + r.w - n, y);
  }
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = text.find('\n', from);
    lines.push_back(text.substr(from, at - from));
    if (at == std::string::npos) return lines;
    from = at + 1;
  }
}

int textWidth(TTF_Font* font, const std::string& s) {
  int w = 0;
  int h = 0;
  if (font == nullptr || s.empty() || TTF_SizeUTF8(font, s.c_str(), &w, &h) != 0) return 0;
  return w;
}

// Blits `s` (freed here) at (x, y).
void blitAndFree(SDL_Surface* s, SDL_Surface* onto, int x, int y) {
  if (s == nullptr) return;
  SDL_Rect at{x, y, s->w, s->h};
  SDL_BlitSurface(s, nullptr, onto, &at);
  SDL_FreeSurface(s);
}

SDL_Surface* renderText(TTF_Font* font, const std::string& s) {
  if (font == nullptr || s.empty()) return nullptr;
  return TTF_RenderUTF8_Blended(font, s.c_str(), SDL_Color{kText.r, kText.g, kText.b, 255});
}

TTF_Font* openBoxFont(int scale) {
  if (TTF_WasInit() == 0 && TTF_Init() != 0) return nullptr;
  const FontFile f = findJapaneseFont();
  if (f.file.empty()) return nullptr;
  TTF_Font* font = TTF_OpenFontIndex(f.file.c_str(), StatusBarView::kFontPixels * scale, f.index);
  if (font != nullptr) TTF_SetFontHinting(font, TTF_HINTING_NORMAL);
  return font;
}

}  // namespace

MessageBoxWindow::MessageBoxWindow(const std::string& caption, const std::string& text,
                                   BoxIcon icon, SDL_Window* owner, int scale)
    : n_(std::max(scale, 1)), owner_(owner) {
  const int n = n_;
  font_ = openBoxFont(n);
  const std::vector<std::string> lines = splitLines(text);
  int textW = 0;
  for (const std::string& line : lines) textW = std::max(textW, textWidth(font_, line));
  const int lineSkip = font_ != nullptr ? TTF_FontLineSkip(font_) : 0;
  const int textH = lineSkip * static_cast<int>(lines.size());
  const int contentH = std::max(kIconSize * n, textH);
  const int textX = (kMargin + kIconSize + kIconGap) * n;
  const int width = std::max({textX + textW + kTextRight * n, (kButtonWidth + 2 * kMargin) * n,
                              kMinWidth * n, textWidth(font_, caption) + kTitleButtons * n});
  button_ = {(width - kButtonWidth * n) / 2, (kMargin + kButtonGap) * n + contentH,
             kButtonWidth * n, kButtonHeight * n};
  const int height = button_.y + button_.h + kBottomMargin * n;

  int x = SDL_WINDOWPOS_CENTERED;
  int y = SDL_WINDOWPOS_CENTERED;
  if (owner_ != nullptr) {
    int ox = 0, oy = 0, ow = 0, oh = 0;
    SDL_GetWindowPosition(owner_, &ox, &oy);
    SDL_GetWindowSize(owner_, &ow, &oh);
    x = ox + (ow - width) / 2;
    y = oy + (oh - height) / 2;
    SDL_Rect screen{};
    if (SDL_GetDisplayUsableBounds(std::max(SDL_GetWindowDisplayIndex(owner_), 0), &screen) == 0) {
      x = std::clamp(x, screen.x, std::max(screen.x, screen.x + screen.w - width));
      y = std::clamp(y, screen.y, std::max(screen.y, screen.y + screen.h - height));
    }
  }
  const Uint32 flags = SDL_WINDOW_HIDDEN | (owner_ != nullptr ? SDL_WINDOW_SKIP_TASKBAR : 0);
  window_ = SDL_CreateWindow(caption.c_str(), x, y, width, height, flags);
  if (window_ == nullptr) return;
  id_ = SDL_GetWindowID(window_);
  pixels_ = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
  if (pixels_ == nullptr) {
    SDL_DestroyWindow(window_);
    window_ = nullptr;
    return;
  }
  drawFace(text, icon);
  // A dialog of the owner for the window manager: kept above it.
  if (owner_ != nullptr) SDL_SetWindowModalFor(window_, owner_);
  SDL_ShowWindow(window_);
  SDL_RaiseWindow(window_);
  SDL_SetWindowInputFocus(window_);
  present();
}

MessageBoxWindow::~MessageBoxWindow() {
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  if (pixels_ != nullptr) SDL_FreeSurface(pixels_);
  if (font_ != nullptr) TTF_CloseFont(font_);
  // The owner is active again.
  if (owner_ != nullptr) SDL_RaiseWindow(owner_);
}

void MessageBoxWindow::drawFace(const std::string& text, BoxIcon icon) {
  const int n = n_;
  fill(pixels_, 0, 0, pixels_->w, pixels_->h, kFace);
  const int contentH = button_.y - (kButtonGap + kMargin) * n;

  // Painted at the size it is shown, not enlarged.
  const int iconSize = kIconSize * n;
  std::vector<std::uint8_t> rgba =
      icon == BoxIcon::Warning ? art::paintWarningIcon(iconSize) : art::paintErrorIcon(iconSize);
  SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormatFrom(rgba.data(), iconSize, iconSize, 32,
                                                            iconSize * 4, SDL_PIXELFORMAT_RGBA32);
  if (picture != nullptr) {
    SDL_SetSurfaceBlendMode(picture, SDL_BLENDMODE_BLEND);
    blitAndFree(picture, pixels_, kMargin * n, kMargin * n + (contentH - iconSize) / 2);
  }

  const std::vector<std::string> lines = splitLines(text);
  const int lineSkip = font_ != nullptr ? TTF_FontLineSkip(font_) : 0;
  int y = kMargin * n + (contentH - lineSkip * static_cast<int>(lines.size())) / 2;
  for (const std::string& line : lines) {
    blitAndFree(renderText(font_, line), pixels_, (kMargin + kIconSize + kIconGap) * n, y);
    y += lineSkip;
  }
  drawButton();
}

void MessageBoxWindow::drawButton() {
  const int n = n_;
  const SDL_Rect& b = button_;
  fill(pixels_, b.x, b.y, b.w, b.h, kFace);
  // The default button's black frame, then a raised edge, or a flat shadow
  // while it is held down.
  edge(pixels_, b, kFrame, kFrame, n);
  const SDL_Rect in = inset(b, n);
  if (buttonDown_) {
    edge(pixels_, in, kShadow, kShadow, n);
  } else {
    edge(pixels_, in, kHighlight, kDarkShadow, n);
    edge(pixels_, inset(in, n), kFace, kShadow, n);
  }
  const int shift = buttonDown_ ? n : 0;
  SDL_Surface* label = renderText(font_, "OK");
  if (label != nullptr) {
    blitAndFree(label, pixels_, b.x + (b.w - label->w) / 2 + shift,
                b.y + (b.h - label->h) / 2 + shift);
  }
  if (focused_) focusRect(pixels_, inset(b, 4 * n), kText, n);
}

void MessageBoxWindow::present() {
  SDL_Surface* screen = SDL_GetWindowSurface(window_);
  if (screen == nullptr) return;
  SDL_BlitSurface(pixels_, nullptr, screen, nullptr);
  SDL_UpdateWindowSurface(window_);
}

void MessageBoxWindow::setButtonDown(bool down) {
  if (down == buttonDown_) return;
  buttonDown_ = down;
  drawButton();
  present();
}

bool MessageBoxWindow::overButton(int x, int y) const {
  const SDL_Point p{x, y};
  return SDL_PointInRect(&p, &button_) == SDL_TRUE;
}

void MessageBoxWindow::raise() {
  SDL_RaiseWindow(window_);
  SDL_SetWindowInputFocus(window_);
}

bool MessageBoxWindow::take(const SDL_Event& e, Uint32 ownerId) {
  const bool forOwner = ownerId != 0;
  switch (e.type) {
    case SDL_WINDOWEVENT:
      if (e.window.windowID == id_) {
        switch (e.window.event) {
          case SDL_WINDOWEVENT_EXPOSED:
            present();
            break;
          case SDL_WINDOWEVENT_CLOSE:
            closed_ = true;
            break;
          case SDL_WINDOWEVENT_FOCUS_GAINED:
          case SDL_WINDOWEVENT_FOCUS_LOST:
            focused_ = e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED;
            spaceHeld_ = false;
            buttonDown_ = mouseHeld_ && buttonDown_;
            drawButton();
            present();
            break;
          default:
            break;
        }
        return true;
      }
      // A disabled window cannot be closed: the box comes to the front.
      if (forOwner && e.window.windowID == ownerId && e.window.event == SDL_WINDOWEVENT_CLOSE) {
        raise();
        return true;
      }
      return false;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      if (e.key.windowID == id_) takeKey(e.key);
      return e.key.windowID == id_ || (forOwner && e.key.windowID == ownerId);
    case SDL_TEXTINPUT:
      return e.text.windowID == id_ || (forOwner && e.text.windowID == ownerId);
    case SDL_TEXTEDITING:
      return e.edit.windowID == id_ || (forOwner && e.edit.windowID == ownerId);
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (e.button.windowID == id_) {
        takeMouse(e);
        return true;
      }
      if (forOwner && e.button.windowID == ownerId) {
        if (e.type == SDL_MOUSEBUTTONDOWN) raise();
        return true;
      }
      return false;
    case SDL_MOUSEMOTION:
      if (e.motion.windowID != id_) return false;
      takeMouse(e);
      return true;
    case SDL_QUIT:
      // Only closing a window asks for it, and the owner's close is disabled.
      return true;
    default:
      return false;
  }
}

void MessageBoxWindow::takeKey(const SDL_KeyboardEvent& key) {
  const SDL_Keycode k = key.keysym.sym;
  if (key.type == SDL_KEYUP) {
    if (k == SDLK_SPACE && spaceHeld_) closed_ = true;
    return;
  }
  // A key held down from before the box came does not answer it.
  if (key.repeat != 0) return;
  if (k == SDLK_RETURN || k == SDLK_KP_ENTER || k == SDLK_ESCAPE) {
    closed_ = true;
  } else if (k == SDLK_SPACE) {
    spaceHeld_ = true;
    setButtonDown(true);
  }
}

void MessageBoxWindow::takeMouse(const SDL_Event& e) {
  if (e.type == SDL_MOUSEBUTTONDOWN) {
    if (e.button.button != SDL_BUTTON_LEFT || !overButton(e.button.x, e.button.y)) return;
    mouseHeld_ = true;
    setButtonDown(true);
  } else if (e.type == SDL_MOUSEBUTTONUP) {
    if (e.button.button != SDL_BUTTON_LEFT || !mouseHeld_) return;
    mouseHeld_ = false;
    setButtonDown(spaceHeld_);
    if (overButton(e.button.x, e.button.y)) closed_ = true;
  } else if (mouseHeld_) {
    setButtonDown(overButton(e.motion.x, e.motion.y));
  }
}

}  // namespace vintaro::sdl
