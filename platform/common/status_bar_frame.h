// The classic Windows status bar (comctl32's under the "Windows Classic"
// theme), for the platforms that draw their own: where its three parts lie,
// their sunken borders and the size grip, as filled rectangles in the bar's
// own pixels (its top-left corner at 0, 0). The texts are the drawer's.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "app/platform.h"

namespace vintaro {

struct BarRect {
  int x = 0, y = 0, w = 0, h = 0;
  friend bool operator==(const BarRect&, const BarRect&) = default;
};

struct BarFill {
  BarRect area;
  Rgb colour;
};

inline constexpr int kPartTop = 2;  // comctl32's vertical border
inline constexpr int kPartGap = 2;  // comctl32's gap between parts
inline constexpr int kTextInset = 3;

inline constexpr Rgb kBarFace{212, 208, 200};
inline constexpr Rgb kBarShadow{128, 128, 128};
inline constexpr Rgb kBarHighlight{255, 255, 255};
inline constexpr Rgb kBarText{0, 0, 0};

// The three parts of a bar `barWidth` wide whose right edges are `edges`
// (-1: the bar's right end), each with its one-pixel sunken border.
std::array<BarRect, 3> statusPartRects(int barWidth, const std::array<std::int32_t, 3>& edges);

// Inside a part's border, where its text goes.
inline BarRect partInterior(const BarRect& part) {
  return {part.x + 1, part.y + 1, part.w - 2, part.h - 2};
}

// The parts' sunken borders, drawn over the face colour.
std::vector<BarFill> partBorders(const std::array<BarRect, 3>& parts);

// The size grip in the bottom-right corner of a bar `barWidth` wide: its
// three double ridges, and first, when `clearsCorner`, the face colour over
// the last part's border where the grip stands, as comctl32 draws it.
std::vector<BarFill> sizeGrip(int barWidth, bool clearsCorner);

}  // namespace vintaro
