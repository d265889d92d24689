// The status bar of the main window, drawn by the game in the look of a
// classic Windows status bar (platform/common/status_bar_frame.h): three
// sunken parts and a size grip, the texts in a Japanese font that fontconfig
// finds for lang=ja. Without such a font the bar is drawn without text. At a
// scale above 1 its lines are drawn as squares of that size and its text in
// a font that much larger. The colours serve the message boxes too.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <array>
#include <string>

#include "app/geometry.h"
#include "platform/common/status_bar_frame.h"

namespace vintaro::sdl {

using BarColour = Rgb;
inline constexpr BarColour kFace = kBarFace;
inline constexpr BarColour kShadow = kBarShadow;
inline constexpr BarColour kHighlight = kBarHighlight;
inline constexpr BarColour kText = kBarText;

// The file and face index of the font fontconfig picks for Japanese, or an
// empty file when it has none that covers Japanese. Looked up once, on a
// thread of its own: started early, it runs beside the window system's
// start-up; the first call waits for it.
struct FontFile {
  std::string file;
  int index = 0;
};
void startJapaneseFontLookup();
FontFile findJapaneseFont();

class StatusBarView {
 public:
  static constexpr int kFontPixels = 12;  // 9 points at 96 dpi
  static constexpr int kHeight = kStatusBarHeight;

  // A bar `width` pixels wide; its width and place are kept for good.
  StatusBarView(int x, int y, int width, int scale = 1);
  ~StatusBarView();
  StatusBarView(const StatusBarView&) = delete;
  StatusBarView& operator=(const StatusBarView&) = delete;

  bool hasFont() const { return font_ != nullptr; }
  // Draws the bar anew at another scale.
  void setScale(int scale);
  int scale() const { return scale_; }
  void setText(int part, std::string utf8);
  const std::string& text(int part) const { return texts_[static_cast<std::size_t>(part)]; }

  // Where the bar lies in the client area, in its pixels.
  SDL_Rect place() const { return {x_, y_, width_, kHeight}; }
  // The bar's pixels, scale() times place()'s size, redrawn if a text
  // changed since.
  SDL_Surface* surface();
  // A text changed since the bar was last shown.
  bool changed() const { return changed_; }
  void shown() { changed_ = false; }

 private:
  void redraw();
  void open();

  int x_, y_, width_;
  int scale_;
  FontFile fontFile_;
  SDL_Surface* surface_ = nullptr;
  TTF_Font* font_ = nullptr;
  std::array<std::string, 3> texts_;
  bool stale_ = true;
  bool changed_ = true;
};

}  // namespace vintaro::sdl
