#include "platform/common/status_bar_frame.h"

#include "app/geometry.h"

namespace vintaro {

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

std::vector<BarFill> partBorders(const std::array<BarRect, 3>& parts) {
  std::vector<BarFill> fills;
  for (const BarRect& r : parts) {
    if (r.w < 2) continue;
    const int right = r.x + r.w - 1;
    const int bottom = r.y + r.h - 1;
    fills.push_back({{r.x, r.y, r.w - 1, 1}, kBarShadow});
    fills.push_back({{r.x, r.y, 1, r.h - 1}, kBarShadow});
    fills.push_back({{r.x, bottom, r.w, 1}, kBarHighlight});
    fills.push_back({{right, r.y, 1, r.h}, kBarHighlight});
  }
  return fills;
}

std::vector<BarFill> sizeGrip(int barWidth, bool clearsCorner) {
  std::vector<BarFill> fills;
  int px = barWidth - 1;
  int py = kStatusBarHeight - 1;
  if (clearsCorner) {
    fills.push_back({{px - 12, py, 12, 1}, kBarFace});
    fills.push_back({{px, py - 12, 1, 13}, kBarFace});
  }
  // A ridge is a line from (x, y) up and to the right, `n` pixels.
  const auto ridge = [&fills](int x, int y, int n, Rgb colour) {
    for (int k = 0; k < n; ++k) fills.push_back({{x + k, y - k, 1, 1}, colour});
  };
  --px;
  --py;
  for (int i = 1; i < 11; i += 4) {
    ridge(px - i, py, i + 1, kBarShadow);
    ridge(px - i - 1, py, i + 2, kBarShadow);
  }
  for (int i = 3; i < 13; i += 4) ridge(px - i, py, i + 1, kBarHighlight);
  return fills;
}

}  // namespace vintaro
