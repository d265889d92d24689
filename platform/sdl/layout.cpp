#include "platform/sdl/layout.h"

#include <algorithm>

namespace vintaro::sdl {

namespace {

int fittingScale(int width, int height, int clientWidth, int clientHeight) {
  return std::max(1, std::min(width / clientWidth, height / clientHeight));
}

}  // namespace

int defaultScale(int usableWidth, int usableHeight, int clientWidth, int clientHeight) {
  return std::min(kMaxWindowScale, fittingScale(usableWidth * 3 / 4, usableHeight * 3 / 4,
                                                clientWidth, clientHeight));
}

Layout fullScreenLayout(int width, int height, int clientWidth, int clientHeight) {
  Layout l;
  l.scale = fittingScale(width, height, clientWidth, clientHeight);
  l.x = std::max(0, (width - clientWidth * l.scale) / 2);
  l.y = std::max(0, (height - clientHeight * l.scale) / 2);
  l.framed = true;
  return l;
}

}  // namespace vintaro::sdl
