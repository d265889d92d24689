// The project's own reward picture, painted procedurally at build time: the
// play directory's "Vintaro.gol" is packed from it. No third-party image is
// used anywhere.
#pragma once

#include <cstdint>
#include <vector>

#include "game/game_state.h"

namespace vintaro::art {

inline constexpr int kRewardWidth = kPictureWidth;
inline constexpr int kRewardHeight = kPictureHeight;

// 370 x 280 RGB, top row first: a retro sunset over a neon grid.
std::vector<std::uint8_t> paintRewardPicture();

}  // namespace vintaro::art
