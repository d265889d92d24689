// The board painter: answers every paint request of the main window.
#pragma once

#include "app/platform.h"
#include "game/game_state.h"

namespace vintaro {

// Pixel geometry of the board.
constexpr int tileX(int col) { return 17 * col + 6; }
constexpr int tileY(int row) { return 21 * row + 6; }
inline constexpr int kPaddleTop = 573;
inline constexpr int kPaddleHeight = 5;
inline constexpr int kPaddleLength = 66;
inline constexpr int kPictureLeft = 136;
inline constexpr int kPictureTop = 153;

void paintBoard(GameState& state, Platform& platform);

}  // namespace vintaro
