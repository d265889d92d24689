// The application icon, painted procedurally: the desktop game sets it on its
// window, and the build paints the installed icon files from it.
#pragma once

#include <cstdint>
#include <vector>

namespace vintaro::art {

// size x size RGBA, top row first: a little board with blocks, ball and
// paddle on a rounded dark tile.
std::vector<std::uint8_t> paintIcon(int size);

}  // namespace vintaro::art
