#include "tools/art/reward_picture.h"

#include <array>
#include <cmath>
#include <string_view>

#include "art/shapes.h"

namespace vintaro::art {

namespace {

constexpr float kWidth = kRewardWidth;
constexpr float kHorizon = 178;
constexpr float kSunX = kWidth / 2;
constexpr float kSunY = 116;
constexpr float kSunRadius = 66;

Colour skyAt(float y) {
  struct Stop {
    float at;
    Colour c;
  };
  static const Stop stops[] = {{0.00f, rgb(12, 8, 44)},
                               {0.40f, rgb(70, 22, 104)},
                               {0.72f, rgb(196, 52, 124)},
                               {0.92f, rgb(255, 122, 96)},
                               {1.00f, rgb(255, 170, 110)}};
  const float t = std::clamp(y / kHorizon, 0.0f, 1.0f);
  for (std::size_t i = 1; i < std::size(stops); ++i) {
    if (t <= stops[i].at) {
      return mix(stops[i - 1].c, stops[i].c,
                 (t - stops[i - 1].at) / (stops[i].at - stops[i - 1].at));
    }
  }
  return stops[std::size(stops) - 1].c;
}

// The sun with the stripes of a retro sunset cut out of its lower half.
float sunCoverage(float x, float y) {
  const float d = circleDistance(x, y, kSunX, kSunY, kSunRadius);
  if (d > 0.5f) return 0;
  float cover = std::clamp(0.5f - d, 0.0f, 1.0f);
  const float below = y - (kSunY - 6);
  if (below > 0) {
    const float period = 10.0f;
    const float k = std::floor(below / period);
    const float gap = 1.2f + k * 1.1f;
    const float inBand = below - k * period;
    if (inBand < gap) cover = 0;
  }
  return cover;
}

Colour sunColour(float y) {
  return mix(rgb(255, 238, 120), rgb(255, 64, 156), (y - (kSunY - kSunRadius)) / (2 * kSunRadius));
}

float farRidge(float x) {
  return 20 + 20 * noise1(x / 40, 11) + 9 * noise1(x / 13, 12) + 3 * noise1(x / 4, 13);
}

float nearRidge(float x) {
  const float side = std::pow(std::fabs(x - kSunX) / kSunX, 1.3f);
  return side * (14 + 26 * noise1(x / 30, 21) + 7 * noise1(x / 9, 22) + 2 * noise1(x / 3, 23));
}

Colour groundAt(float x, float y) {
  const float dy = y - kHorizon;
  Colour c = mix(rgb(46, 10, 70), rgb(8, 2, 22), dy / (kRewardHeight - kHorizon));

  // The sun's reflection: warm streaks under it, fading with distance.
  const float spread = std::exp(-std::pow((x - kSunX) / 48, 2.0f));
  const float streak = 0.5f + 0.5f * std::sin(dy * 1.7f);
  c = over(c, rgb(255, 110, 150), 0.45f * spread * streak * std::exp(-dy / 40));

  // The perspective grid.
  const float depth = 70 / std::max(dy, 0.01f);
  const float dDepth = 70 / std::max(dy * dy, 0.01f);
  const float rowPhase = std::fabs(depth - std::round(depth));
  const float rowLine = std::clamp(1 - rowPhase / (0.7f * dDepth), 0.0f, 1.0f);
  const float lane = (x - kSunX) / std::max(dy, 0.01f) * 3.2f;
  const float dLane = 3.2f / std::max(dy, 0.01f);
  const float lanePhase = std::fabs(lane - std::round(lane));
  const float laneLine = std::clamp(1 - lanePhase / (0.8f * dLane), 0.0f, 1.0f);
  const float fade = std::clamp(dy / 10, 0.0f, 1.0f);
  const float line = std::max(rowLine * std::clamp(1.2f - dDepth, 0.0f, 1.0f), laneLine) * fade;
  const Colour neon = mix(rgb(255, 90, 220), rgb(120, 220, 255), dy / 110);
  c = over(c, neon, line);
  // A glow along the horizon.
  c = over(c, rgb(255, 150, 210), std::exp(-dy / 3) * 0.8f);
  return c;
}

Colour sceneAt(float x, float y) {
  if (y >= kHorizon) return groundAt(x, y);
  Colour c = skyAt(y);
  const float d = circleDistance(x, y, kSunX, kSunY, kSunRadius);
  if (d > 0) c = over(c, rgb(255, 120, 150), 0.35f * std::exp(-d / 22));
  c = over(c, sunColour(y), sunCoverage(x, y));

  const float far = kHorizon - farRidge(x);
  if (y > far - 1) {
    const float cover = std::clamp(y - far + 0.5f, 0.0f, 1.0f);
    Colour rock = mix(rgb(92, 30, 110), rgb(56, 16, 80), (y - far) / 30);
    rock = over(rock, rgb(255, 120, 180), std::exp(-(y - far) / 1.5f) * 0.7f);
    c = over(c, rock, cover);
  }
  const float near = kHorizon - nearRidge(x);
  if (y > near - 1) {
    const float cover = std::clamp(y - near + 0.5f, 0.0f, 1.0f);
    Colour rock = mix(rgb(40, 10, 62), rgb(24, 6, 44), (y - near) / 30);
    rock = over(rock, rgb(255, 90, 170), std::exp(-(y - near) / 1.2f) * 0.5f);
    c = over(c, rock, cover);
  }
  return c;
}

bool plainSky(float x, float y) {
  return y < kHorizon - farRidge(x) - 2 && circleDistance(x, y, kSunX, kSunY, kSunRadius) > 6;
}

// A 5 x 7 pixel font for the banner.
const std::array<const char*, 7>* glyphOf(char c) {
  static const std::array<const char*, 7> a = {".###.", "#...#", "#...#", "#####",
                                               "#...#", "#...#", "#...#"};
  static const std::array<const char*, 7> l = {"#....", "#....", "#....", "#....",
                                               "#....", "#....", "#####"};
  static const std::array<const char*, 7> cc = {".###.", "#...#", "#....", "#....",
                                                "#....", "#...#", ".###."};
  static const std::array<const char*, 7> e = {"#####", "#....", "#....", "####.",
                                               "#....", "#....", "#####"};
  static const std::array<const char*, 7> r = {"####.", "#...#", "#...#", "####.",
                                               "#.#..", "#..#.", "#...#"};
  static const std::array<const char*, 7> bang = {"..#..", "..#..", "..#..", "..#..",
                                                  "..#..", ".....", "..#.."};
  switch (c) {
    case 'A':
      return &a;
    case 'L':
      return &l;
    case 'C':
      return &cc;
    case 'E':
      return &e;
    case 'R':
      return &r;
    case '!':
      return &bang;
    default:
      return nullptr;
  }
}

}  // namespace

std::vector<std::uint8_t> paintRewardPicture() {
  constexpr int w = kRewardWidth;
  constexpr int h = kRewardHeight;
  std::vector<Colour> image(static_cast<std::size_t>(w * h));
  constexpr int kSub = 3;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      Colour sum = rgb(0, 0, 0, 0);
      for (int j = 0; j < kSub; ++j) {
        for (int i = 0; i < kSub; ++i) {
          const Colour c = sceneAt(static_cast<float>(x) + (static_cast<float>(i) + 0.5f) / kSub,
                                   static_cast<float>(y) + (static_cast<float>(j) + 0.5f) / kSub);
          sum.r += c.r;
          sum.g += c.g;
          sum.b += c.b;
        }
      }
      const float n = kSub * kSub;
      image[static_cast<std::size_t>(y * w + x)] = rgb(sum.r / n, sum.g / n, sum.b / n);
    }
  }

  // Stars over the plain sky.
  for (int s = 0; s < 140; ++s) {
    const int x = static_cast<int>(hash01(s, 1) * (w - 1));
    const int y = static_cast<int>(std::pow(hash01(s, 2), 1.6f) * 130);
    if (!plainSky(static_cast<float>(x), static_cast<float>(y))) continue;
    const float bright = 0.35f + 0.65f * hash01(s, 3) * (1 - static_cast<float>(y) / 150);
    Colour& px = image[static_cast<std::size_t>(y * w + x)];
    px = over(px, rgb(255, 250, 235), bright);
    if (bright > 0.75f) {
      for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        const int nx = x + dx, ny = y + dy;
        if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
        Colour& n = image[static_cast<std::size_t>(ny * w + nx)];
        n = over(n, rgb(255, 240, 255), bright * 0.35f);
      }
    }
  }

  // The banner, pixel-font letters three pixels a dot, with a neon glow.
  constexpr std::string_view kBanner = "ALL CLEAR!";
  constexpr int kDot = 3;
  constexpr int kAdvance = 6 * kDot;
  const int bannerWidth = static_cast<int>(kBanner.size()) * kAdvance - kDot;
  const int left = (w - bannerWidth) / 2;
  constexpr int top = 18;
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(w * h), 0);
  for (std::size_t i = 0; i < kBanner.size(); ++i) {
    const auto* glyph = glyphOf(kBanner[i]);
    if (glyph == nullptr) continue;
    for (int gy = 0; gy < 7; ++gy) {
      for (int gx = 0; gx < 5; ++gx) {
        if ((*glyph)[static_cast<std::size_t>(gy)][gx] != '#') continue;
        for (int dy = 0; dy < kDot; ++dy) {
          for (int dx = 0; dx < kDot; ++dx) {
            const int x = left + static_cast<int>(i) * kAdvance + gx * kDot + dx;
            const int y = top + gy * kDot + dy;
            mask[static_cast<std::size_t>(y * w + x)] = 1;
          }
        }
      }
    }
  }
  constexpr int kGlow = 6;
  for (int y = std::max(0, top - kGlow); y < std::min(h, top + 7 * kDot + kGlow); ++y) {
    for (int x = std::max(0, left - kGlow); x < std::min(w, left + bannerWidth + kGlow); ++x) {
      Colour& px = image[static_cast<std::size_t>(y * w + x)];
      if (mask[static_cast<std::size_t>(y * w + x)] != 0) {
        const float t = static_cast<float>(y - top) / (7 * kDot);
        px = mix(rgb(255, 255, 255), rgb(140, 240, 255), t);
        continue;
      }
      float nearest = 1e9f;
      for (int j = -kGlow; j <= kGlow; ++j) {
        for (int i = -kGlow; i <= kGlow; ++i) {
          const int nx = x + i, ny = y + j;
          if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
          if (mask[static_cast<std::size_t>(ny * w + nx)] == 0) continue;
          nearest = std::min(nearest, std::hypot(static_cast<float>(i), static_cast<float>(j)));
        }
      }
      if (nearest < 1e8f) px = over(px, rgb(70, 200, 255), 0.75f * std::exp(-(nearest - 1) / 2));
    }
  }

  std::vector<std::uint8_t> rgbBytes(static_cast<std::size_t>(w * h * 3));
  for (std::size_t i = 0; i < image.size(); ++i) {
    rgbBytes[3 * i] = toByte(image[i].r);
    rgbBytes[3 * i + 1] = toByte(image[i].g);
    rgbBytes[3 * i + 2] = toByte(image[i].b);
  }
  return rgbBytes;
}

}  // namespace vintaro::art
