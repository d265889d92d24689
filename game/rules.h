// The rules of play: what a tick and a key do to the game.
#pragma once

#include <array>
#include <cstdint>

#include "app/platform.h"
#include "game/game_state.h"

namespace vintaro {

// New spin after a paddle bounce, by the ball's offset on the paddle (0..3)
// and the incoming spin + 3.
inline constexpr std::int16_t deflectionTable[4][7] = {
    {3, 2, 1, 3, 1, 2, 3},
    {2, 1, 0, 2, 0, 1, 2},
    {-2, -1, 0, -2, 0, -1, -2},
    {-3, -2, -1, -3, -1, -2, -3},
};

// Tick periods, truncated toward zero as the game always has.
constexpr std::int16_t topWallPeriod(std::int16_t intervalMs) {
  return static_cast<std::int16_t>(intervalMs * 11 / 20);
}
constexpr std::int16_t paddlePeriod(std::int16_t intervalMs) {
  return static_cast<std::int16_t>(intervalMs * 3 / 4);
}

// "ボールを使い切りました、終了です。" and its caption.
inline constexpr const char kGameOverText[] =
    "\x83\x7b\x81\x5b\x83\x8b\x82\xf0\x8e\x67\x82\xa2\x90\xd8\x82\xe8\x82\xdc\x82\xb5\x82\xbd\x81"
    "\x41\x8f\x49\x97\xb9\x82\xc5\x82\xb7\x81\x42";
inline constexpr const char kFinishCaption[] = "Vintaro finish";

// One tick of the game timer.
void stepBall(GameState& state, Platform& platform);
// One character typed by the player.
void handleKey(GameState& state, Platform& platform, unsigned character);

}  // namespace vintaro
