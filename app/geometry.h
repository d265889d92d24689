// The main window's geometry, the same on every platform: the board of the
// game record (game/game_state.h) with the status bar under it make the
// client area; the window stands at a fixed place with a fixed outer size.
#pragma once

#include "game/game_state.h"

namespace vintaro {

inline constexpr int kStatusBarHeight = 21;

// The client area: the board, and the status bar below it.
inline constexpr int kClientAreaWidth = clientWidth;
inline constexpr int kClientAreaHeight = clientHeight + kStatusBarHeight;

// Where the window is created and how big it is, frame and caption included.
inline constexpr int kWindowX = 100;
inline constexpr int kWindowY = 50;
inline constexpr int kWindowWidth = 647;
inline constexpr int kWindowHeight = 646;

}  // namespace vintaro
