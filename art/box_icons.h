// The two icons of the game's message boxes on desktops that draw their own
// boxes, in the classic look: a yellow warning triangle with an exclamation
// mark, and a red disc with a white cross for an error.
#pragma once

#include <cstdint>
#include <vector>

namespace vintaro::art {

// size x size RGBA, top row first, with a soft shadow to the bottom right.
std::vector<std::uint8_t> paintWarningIcon(int size);
std::vector<std::uint8_t> paintErrorIcon(int size);

}  // namespace vintaro::art
