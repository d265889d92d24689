// The project's own pictures, painted procedurally: the reward picture that
// the play directory's "Vintaro.gol" is packed from, and the application
// icon. No third-party image is used anywhere.
#pragma once

#include <cstdint>
#include <vector>

#include "game/game_state.h"

namespace vintaro::art {

inline constexpr int kRewardWidth = kPictureWidth;
inline constexpr int kRewardHeight = kPictureHeight;

// 370 x 280 RGB, top row first: a retro sunset over a neon grid.
std::vector<std::uint8_t> paintRewardPicture();

// size x size RGBA, top row first: a little board with blocks, ball and
// paddle on a rounded dark tile.
std::vector<std::uint8_t> paintIcon(int size);

}  // namespace vintaro::art
