// Small helpers for painting with signed distances and supersampling.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

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

// Distance to the segment from (ax, ay) to (bx, by).
inline float segmentDistance(float x, float y, float ax, float ay, float bx, float by) {
  const float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
  const float t = std::clamp((px * dx + py * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
  return std::hypot(px - dx * t, py - dy * t);
}

// Distance to the triangle a, b, c (in either winding): negative inside.
inline float triangleDistance(float x, float y, const float (&a)[2], const float (&b)[2],
                              const float (&c)[2]) {
  const float d = std::min({segmentDistance(x, y, a[0], a[1], b[0], b[1]),
                            segmentDistance(x, y, b[0], b[1], c[0], c[1]),
                            segmentDistance(x, y, c[0], c[1], a[0], a[1])});
  const auto side = [x, y](const float(&p)[2], const float(&q)[2]) {
    return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0]);
  };
  const float s1 = side(a, b), s2 = side(b, c), s3 = side(c, a);
  const bool inside = (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
  return inside ? -d : d;
}

// size x size RGBA, top row first, of `at(x, y, pixel)` on the unit square
// ((0, 0) top-left; `pixel` is the width of one sample), 4 x 4 samples a pixel.
template <typename At>
std::vector<std::uint8_t> paintRgba(int size, At&& at) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(size * size * 4));
  const float pixel = 1.0f / static_cast<float>(size);
  constexpr int kSub = 4;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      float r = 0, g = 0, b = 0, a = 0;
      for (int j = 0; j < kSub; ++j) {
        for (int i = 0; i < kSub; ++i) {
          const Colour c =
              at((static_cast<float>(x) + (static_cast<float>(i) + 0.5f) / kSub) * pixel,
                 (static_cast<float>(y) + (static_cast<float>(j) + 0.5f) / kSub) * pixel,
                 pixel / kSub);
          r += c.r * c.a;
          g += c.g * c.a;
          b += c.b * c.a;
          a += c.a;
        }
      }
      std::uint8_t* px = &out[static_cast<std::size_t>((y * size + x) * 4)];
      px[0] = toByte(a > 0 ? r / a : 0);
      px[1] = toByte(a > 0 ? g / a : 0);
      px[2] = toByte(a > 0 ? b / a : 0);
      px[3] = toByte(a / (kSub * kSub) * 255);
    }
  }
  return out;
}

}  // namespace vintaro::art
