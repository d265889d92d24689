// The three status bar texts, held in code page 932.
#pragma once

#include "app/platform.h"
#include "game/game_state.h"

namespace vintaro {

// " ピルモ(62歳)作のブロック崩し"
inline constexpr const char creditText[] =
    " \x83\x73\x83\x8b\x83\x82(62\x8d\xce)\x8d\xec\x82\xcc\x83\x75\x83\x8d\x83\x62\x83\x4e\x95\xf6"
    "\x82\xb5";
// " 初期値(Ball:%d, Intvl:%d)"
inline constexpr const char introText[] = " \x8f\x89\x8a\xfa\x92\x6c(Ball:%d, Intvl:%d)";
// " Score : %d / Ball : %d"
inline constexpr const char scoreText[] = " Score : %d / Ball : %d";

void createStatusBar(GameState& state, Platform& platform, Handle window);
// Shows the initial values in part 1, once per run.
void showIntroText(GameState& state, Platform& platform);
// Shows the score and the balls left in part 2.
void showScoreText(GameState& state, Platform& platform);

}  // namespace vintaro
