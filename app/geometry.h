// The main window's geometry, the same on every platform: the board of the
// game record (game/game_state.h) with the status bar under it make the
// client area; the window stands at a fixed place. Its outer size is the
// client area's with the frame and caption the system draws: 647 x 646 with
// the classic ones.
#pragma once

#include "game/game_state.h"

namespace vintaro {

inline constexpr int kStatusBarHeight = 21;

// The client area: the board, and the status bar below it.
inline constexpr int kClientAreaWidth = clientWidth;
inline constexpr int kClientAreaHeight = clientHeight + kStatusBarHeight;

// Where the window is created: its outer top-left corner.
inline constexpr int kWindowX = 100;
inline constexpr int kWindowY = 50;

}  // namespace vintaro
