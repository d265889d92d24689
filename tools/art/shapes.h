// Small helpers for painting with signed distances and supersampling.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vintaro::art {

struct Colour {
  float r = 0, g = 0, b = 0, a = 1;
};

inline Colour rgb(float r, float g, float b, float a = 1) { return {r, g, b, a}; }

inline Colour mix(Colour x, Colour y, float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
          x.a + (y.a - x.a) * t};
}

// `top` laid over `under` with `coverage` (0..1) times its own alpha.
inline Colour over(Colour under, Colour top, float coverage) {
  const float a = std::clamp(coverage, 0.0f, 1.0f) * top.a;
  return {under.r + (top.r - under.r) * a, under.g + (top.g - under.g) * a,
          under.b + (top.b - under.b) * a, under.a + (1 - under.a) * a};
}

// Distance from (x, y) to a box centred at (cx, cy) with half sizes hw, hh
// and corner radius r: negative inside.
inline float boxDistance(float x, float y, float cx, float cy, float hw, float hh, float r = 0) {
  const float qx = std::fabs(x - cx) - hw + r;
  const float qy = std::fabs(y - cy) - hh + r;
  const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
  return outside + std::min(std::max(qx, qy), 0.0f) - r;
}

inline float circleDistance(float x, float y, float cx, float cy, float radius) {
  return std::hypot(x - cx, y - cy) - radius;
}

// A stable pseudo-random number in 0..1 for an integer pair.
inline float hash01(int a, int b) {
  std::uint32_t h =
      static_cast<std::uint32_t>(a) * 374761393u + static_cast<std::uint32_t>(b) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

// Smooth value noise in 0..1 along one axis.
inline float noise1(float x, int seed) {
  const int i = static_cast<int>(std::floor(x));
  const float f = x - static_cast<float>(i);
  const float t = f * f * (3 - 2 * f);
  return hash01(i, seed) * (1 - t) + hash01(i + 1, seed) * t;
}

inline std::uint8_t toByte(float v) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

}  // namespace vintaro::art
