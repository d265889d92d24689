#include "art/icon.h"

#include <cmath>

#include "art/shapes.h"

namespace vintaro::art {

namespace {

// The icon on a unit square, (0, 0) top-left.
Colour iconAt(float x, float y, float pixel) {
  Colour c = rgb(0, 115, 0, 0);  // transparent, of the frame's colour at its edge
  const auto cover = [pixel](float distance) {
    return std::clamp(0.5f - distance / pixel, 0.0f, 1.0f);
  };
  // The tile: the board's green frame around its dark grey.
  c = over(c, rgb(0, 115, 0), cover(boxDistance(x, y, 0.5f, 0.5f, 0.46f, 0.46f, 0.14f)));
  c = over(c, rgb(64, 64, 64), cover(boxDistance(x, y, 0.5f, 0.5f, 0.39f, 0.39f, 0.09f)));
  // Three rows of blocks in the board's khaki shades.
  const Colour rows[3] = {rgb(169, 169, 84), rgb(145, 145, 72), rgb(122, 122, 61)};
  for (int r = 0; r < 3; ++r) {
    for (int k = 0; k < 4; ++k) {
      if (r == 2 && k == 2) continue;  // one block already taken
      const float cx = 0.245f + 0.17f * static_cast<float>(k);
      const float cy = 0.25f + 0.1f * static_cast<float>(r);
      c = over(c, rows[r], cover(boxDistance(x, y, cx, cy, 0.07f, 0.038f, 0.012f)));
    }
  }
  // The ball: grey ring, red heart.
  c = over(c, rgb(200, 200, 200), cover(circleDistance(x, y, 0.6f, 0.6f, 0.075f)));
  c = over(c, rgb(180, 0, 0), cover(circleDistance(x, y, 0.6f, 0.6f, 0.045f)));
  // The paddle.
  c = over(c, rgb(220, 220, 220), cover(boxDistance(x, y, 0.47f, 0.8f, 0.16f, 0.03f, 0.01f)));
  return c;
}

}  // namespace

std::vector<std::uint8_t> paintIcon(int size) { return paintRgba(size, iconAt); }

}  // namespace vintaro::art
