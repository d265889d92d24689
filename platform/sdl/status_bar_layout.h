// Where the status bar and its parts lie, and the colours of the classic
// Windows look (comctl32's status bar under the "Windows Classic" theme).
// Pure geometry: no SDL.
#pragma once

#include <array>
#include <cstdint>

namespace vintaro::sdl {

struct BarRect {
  int x = 0, y = 0, w = 0, h = 0;  // in bar coordinates
  friend bool operator==(const BarRect&, const BarRect&) = default;
};

struct BarColour {
  std::uint8_t r, g, b;
};

inline constexpr int kStatusBarHeight = 21;
inline constexpr int kPartTop = 2;  // comctl32's vertical border
inline constexpr int kPartGap = 2;  // comctl32's gap between parts
inline constexpr int kTextInset = 3;

inline constexpr BarColour kFace{212, 208, 200};
inline constexpr BarColour kShadow{128, 128, 128};
inline constexpr BarColour kHighlight{255, 255, 255};
inline constexpr BarColour kText{0, 0, 0};

// The three parts of a bar `barWidth` wide whose right edges are `edges`
// (-1: the bar's right end), each with its one-pixel sunken border.
std::array<BarRect, 3> statusPartRects(int barWidth, const std::array<std::int32_t, 3>& edges);

// Inside a part's border, where its text goes.
inline BarRect partInterior(const BarRect& part) {
  return {part.x + 1, part.y + 1, part.w - 2, part.h - 2};
}

}  // namespace vintaro::sdl
