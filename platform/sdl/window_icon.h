// The window's icon, painted at build time (tools/art) and kept in the game
// as a PNG: a few hundred bytes where painting it took milliseconds at every
// start.
#pragma once

#include <cstddef>

namespace vintaro {

extern const unsigned char kWindowIconPng[];
extern const std::size_t kWindowIconPngSize;
inline constexpr int kWindowIconSize = 64;

}  // namespace vintaro
