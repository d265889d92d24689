#include "art/box_icons.h"

#include "art/shapes.h"

namespace vintaro::art {

namespace {

// Coverage of a shape whose edge is `distance` away, smoothed over `width`.
float cover(float distance, float width) { return std::clamp(0.5f - distance / width, 0.0f, 1.0f); }

// `top` laid over `under` with `coverage`, both of them possibly see-through.
Colour layer(Colour under, Colour top, float coverage) {
  const float a = std::clamp(coverage, 0.0f, 1.0f) * top.a;
  const float keep = under.a * (1 - a);
  const float out = a + keep;
  if (out <= 0) return under;
  return {(top.r * a + under.r * keep) / out, (top.g * a + under.g * keep) / out,
          (top.b * a + under.b * keep) / out, out};
}

constexpr float kShadowOffset = 0.045f;
const Colour kShadow = rgb(0, 0, 0, 0.3f);

float warningTriangle(float x, float y) {
  static constexpr float kTop[2] = {0.5f, 0.1f};
  static constexpr float kLeft[2] = {0.09f, 0.86f};
  static constexpr float kRight[2] = {0.91f, 0.86f};
  return triangleDistance(x, y, kTop, kLeft, kRight) - 0.04f;  // rounded corners
}

Colour warningAt(float x, float y, float pixel) {
  Colour c = rgb(0, 0, 0, 0);
  c = layer(c, kShadow, cover(warningTriangle(x - kShadowOffset, y - kShadowOffset), 3 * pixel));
  const float edge = warningTriangle(x, y);
  c = layer(c, rgb(32, 32, 32), cover(edge, pixel));
  const Colour fill = mix(rgb(255, 246, 150), rgb(240, 196, 0), (y - 0.1f) / 0.76f);
  c = layer(c, fill, cover(edge + 0.045f, pixel));
  // The exclamation mark: a stroke narrowing downwards, and its dot.
  const float halfWidth = 0.058f - 0.03f * std::clamp((y - 0.33f) / 0.28f, 0.0f, 1.0f);
  const float stroke = segmentDistance(x, y, 0.5f, 0.33f, 0.5f, 0.61f) - halfWidth;
  c = layer(c, rgb(0, 0, 0), cover(stroke, pixel));
  c = layer(c, rgb(0, 0, 0), cover(circleDistance(x, y, 0.5f, 0.73f, 0.055f), pixel));
  return c;
}

constexpr float kDiscX = 0.475f, kDiscY = 0.475f, kDiscR = 0.43f;

Colour errorAt(float x, float y, float pixel) {
  Colour c = rgb(0, 0, 0, 0);
  c = layer(c, kShadow,
            cover(circleDistance(x - kShadowOffset, y - kShadowOffset, kDiscX, kDiscY, kDiscR),
                  3 * pixel));
  const float edge = circleDistance(x, y, kDiscX, kDiscY, kDiscR);
  c = layer(c, rgb(110, 0, 0), cover(edge, pixel));
  // Lit from the top left.
  const float light = std::hypot(x - 0.34f, y - 0.3f) / 0.6f;
  c = layer(c, mix(rgb(255, 96, 72), rgb(192, 0, 0), light), cover(edge + 0.035f, pixel));
  constexpr float kArm = 0.16f, kHalfWidth = 0.058f;
  const float cross =
      std::min(segmentDistance(x, y, kDiscX - kArm, kDiscY - kArm, kDiscX + kArm, kDiscY + kArm),
               segmentDistance(x, y, kDiscX + kArm, kDiscY - kArm, kDiscX - kArm, kDiscY + kArm));
  c = layer(c, rgb(255, 255, 255), cover(cross - kHalfWidth, pixel));
  return c;
}

}  // namespace

std::vector<std::uint8_t> paintWarningIcon(int size) { return paintRgba(size, warningAt); }

std::vector<std::uint8_t> paintErrorIcon(int size) { return paintRgba(size, errorAt); }

}  // namespace vintaro::art
