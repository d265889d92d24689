#include "platform/sdl/status_bar_view.h"

#include <fontconfig/fontconfig.h>

#include "game/game_state.h"
#include "platform/sdl/status_bar_layout.h"

namespace vintaro::sdl {

namespace {

Uint32 mapColour(const SDL_Surface* s, BarColour c) { return SDL_MapRGB(s->format, c.r, c.g, c.b); }

// The bar's surface and the scale it is drawn at; lines are laid out in
// unscaled pixels.
struct Canvas {
  SDL_Surface* s;
  int scale;
};

void putPixel(const Canvas& c, int x, int y, BarColour colour) {
  SDL_Rect square{x * c.scale, y * c.scale, c.scale, c.scale};
  SDL_FillRect(c.s, &square, mapColour(c.s, colour));
}

void hLine(const Canvas& s, int x0, int x1, int y, BarColour c) {
  for (int x = x0; x <= x1; ++x) putPixel(s, x, y, c);
}

void vLine(const Canvas& s, int x, int y0, int y1, BarColour c) {
  for (int y = y0; y <= y1; ++y) putPixel(s, x, y, c);
}

// A line from (x, y) up and to the right, `n` pixels.
void diagonal(const Canvas& s, int x, int y, int n, BarColour c) {
  for (int k = 0; k < n; ++k) putPixel(s, x + k, y - k, c);
}

// comctl32's classic size grip in the bar's bottom-right corner.
void drawSizeGrip(const Canvas& s) {
  int px = s.s->w / s.scale - 1;
  int py = s.s->h / s.scale - 1;
  hLine(s, px - 12, px - 1, py, kFace);
  vLine(s, px, py - 12, py, kFace);
  --px;
  --py;
  for (int i = 1; i < 11; i += 4) {
    diagonal(s, px - i, py, i + 1, kShadow);
    diagonal(s, px - i - 1, py, i + 2, kShadow);
  }
  for (int i = 3; i < 13; i += 4) diagonal(s, px - i, py, i + 1, kHighlight);
}

FontFile lookUpJapaneseFont() {
  FontFile found;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(":lang=ja"));
  if (pattern == nullptr) return found;
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return found;
  // fontconfig always answers with some font; only one that covers Japanese
  // will do.
  FcLangSet* langs = nullptr;
  FcChar8* file = nullptr;
  int index = 0;
  if (FcPatternGetLangSet(match, FC_LANG, 0, &langs) == FcResultMatch &&
      FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual &&
      FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    found.file = reinterpret_cast<const char*>(file);
    found.index = index;
  }
  FcPatternDestroy(match);
  return found;
}

}  // namespace

FontFile findJapaneseFont() {
  FontFile found;
  // fontconfig is needed once, for this lookup: it is let go of at the end,
  // caches and all.
  if (FcInit() == FcFalse) return found;
  found = lookUpJapaneseFont();
  FcFini();
  return found;
}

StatusBarView::StatusBarView(int x, int y, int width, int scale)
    : x_(x), y_(y), width_(width), scale_(scale) {
  if (TTF_WasInit() != 0 || TTF_Init() == 0) fontFile_ = findJapaneseFont();
  open();
}

StatusBarView::~StatusBarView() {
  if (font_ != nullptr) TTF_CloseFont(font_);
  if (surface_ != nullptr) SDL_FreeSurface(surface_);
}

void StatusBarView::open() {
  surface_ = SDL_CreateRGBSurfaceWithFormat(0, width_ * scale_, kHeight * scale_, 32,
                                            SDL_PIXELFORMAT_RGB888);
  if (fontFile_.file.empty()) return;
  // The text is set at the scaled size, not enlarged afterwards.
  font_ = TTF_OpenFontIndex(fontFile_.file.c_str(), kFontPixels * scale_, fontFile_.index);
  if (font_ != nullptr) TTF_SetFontHinting(font_, TTF_HINTING_NORMAL);
}

void StatusBarView::setScale(int scale) {
  if (scale == scale_) return;
  if (font_ != nullptr) TTF_CloseFont(font_);
  if (surface_ != nullptr) SDL_FreeSurface(surface_);
  font_ = nullptr;
  scale_ = scale;
  open();
  stale_ = true;
  changed_ = true;
}

void StatusBarView::setText(int part, std::string utf8) {
  if (part < 0 || part >= 3) return;
  texts_[static_cast<std::size_t>(part)] = std::move(utf8);
  stale_ = true;
  changed_ = true;
}

SDL_Surface* StatusBarView::surface() {
  if (stale_) redraw();
  return surface_;
}

void StatusBarView::redraw() {
  stale_ = false;
  if (surface_ == nullptr) return;
  SDL_FillRect(surface_, nullptr, mapColour(surface_, kFace));
  const Canvas canvas{surface_, scale_};
  const int n = scale_;
  const auto parts = statusPartRects(width_, statusParts);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const BarRect& r = parts[i];
    if (r.w < 2) continue;
    const int right = r.x + r.w - 1;
    const int bottom = r.y + r.h - 1;
    hLine(canvas, r.x, right - 1, r.y, kShadow);
    vLine(canvas, r.x, r.y, bottom - 1, kShadow);
    hLine(canvas, r.x, right, bottom, kHighlight);
    vLine(canvas, right, r.y, bottom, kHighlight);

    if (font_ == nullptr || texts_[i].empty()) continue;
    SDL_Surface* text =
        TTF_RenderUTF8_Blended(font_, texts_[i].c_str(), SDL_Color{kText.r, kText.g, kText.b, 255});
    if (text == nullptr) continue;
    const BarRect in = partInterior(r);
    SDL_Rect clip{in.x * n, in.y * n, in.w * n, in.h * n};
    SDL_SetClipRect(surface_, &clip);
    SDL_Rect at{(in.x + kTextInset) * n, in.y * n + (in.h * n - text->h) / 2, text->w, text->h};
    SDL_BlitSurface(text, nullptr, surface_, &at);
    SDL_SetClipRect(surface_, nullptr);
    SDL_FreeSurface(text);
  }
  drawSizeGrip(canvas);
}

}  // namespace vintaro::sdl
