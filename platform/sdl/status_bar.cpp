#include "platform/sdl/status_bar.h"

#include <fontconfig/fontconfig.h>

#include <mutex>
#include <thread>

#include "game/game_state.h"

namespace vintaro::sdl {

namespace {

Uint32 mapColour(const SDL_Surface* s, BarColour c) { return SDL_MapRGB(s->format, c.r, c.g, c.b); }

// Fills of the bar's frame, each pixel a square of `scale`.
void fill(SDL_Surface* s, int scale, const std::vector<BarFill>& fills) {
  for (const BarFill& f : fills) {
    const SDL_Rect r{f.area.x * scale, f.area.y * scale, f.area.w * scale, f.area.h * scale};
    SDL_FillRect(s, &r, mapColour(s, f.colour));
  }
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

FontFile lookUpOnce() {
  FontFile found;
  // fontconfig is needed once, for this lookup: it is let go of at the end,
  // caches and all.
  if (FcInit() == FcFalse) return found;
  found = lookUpJapaneseFont();
  FcFini();
  return found;
}

struct Lookup {
  std::mutex mutex;
  std::thread thread;  // under mutex, as the rest
  FontFile found;      // the thread's, until it is joined
  bool done = false;
  ~Lookup() {
    if (thread.joinable()) thread.join();
  }
};
Lookup lookup;

}  // namespace

void startJapaneseFontLookup() {
  const std::lock_guard lock(lookup.mutex);
  if (!lookup.done && !lookup.thread.joinable()) {
    lookup.thread = std::thread([] { lookup.found = lookUpOnce(); });
  }
}

FontFile findJapaneseFont() {
  const std::lock_guard lock(lookup.mutex);
  if (!lookup.done) {
    if (lookup.thread.joinable()) {
      lookup.thread.join();
    } else {
      lookup.found = lookUpOnce();
    }
    lookup.done = true;
  }
  return lookup.found;
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
  const int n = scale_;
  const auto parts = statusPartRects(width_, statusParts);
  fill(surface_, n, partBorders(parts));
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].w < 2 || font_ == nullptr || texts_[i].empty()) continue;
    SDL_Surface* text =
        TTF_RenderUTF8_Blended(font_, texts_[i].c_str(), SDL_Color{kText.r, kText.g, kText.b, 255});
    if (text == nullptr) continue;
    const BarRect in = partInterior(parts[i]);
    SDL_Rect clip{in.x * n, in.y * n, in.w * n, in.h * n};
    SDL_SetClipRect(surface_, &clip);
    SDL_Rect at{(in.x + kTextInset) * n, in.y * n + (in.h * n - text->h) / 2, text->w, text->h};
    SDL_BlitSurface(text, nullptr, surface_, &at);
    SDL_SetClipRect(surface_, nullptr);
    SDL_FreeSurface(text);
  }
  fill(surface_, n, sizeGrip(width_, true));
}

}  // namespace vintaro::sdl
