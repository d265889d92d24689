#include "platform/sdl/status_bar_layout.h"

namespace vintaro::sdl {

std::array<BarRect, 3> statusPartRects(int barWidth, const std::array<std::int32_t, 3>& edges) {
  std::array<BarRect, 3> parts{};
  int left = 0;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const int right = edges[i] < 0 ? barWidth : static_cast<int>(edges[i]);
    parts[i] = {left, kPartTop, right > left ? right - left : 0, kStatusBarHeight - kPartTop};
    left = right + kPartGap;
  }
  return parts;
}

}  // namespace vintaro::sdl
