// A player that clears the board: the game is deterministic, so where the
// ball meets the paddle row is known in advance, and the paddle cell it meets
// there (offset 0..3) decides the next flight.
#pragma once

#include <memory>
#include <string>

#include "game/game_state.h"
#include "tests/test_support.h"

namespace vintaro::test {

// The ball will enter the paddle row on the next tick.
bool aboutToMeetPaddle(const GameState& s);

class Steering {
 public:
  Steering();

  // For a ball about to meet the paddle: the paddle column whose flight
  // reaches a remaining block soonest, looking as many bounces ahead as it
  // takes. -1 when no bounce sequence reaches one.
  int paddleFor(const GameState& s);

 private:
  std::unique_ptr<GameState> sim_;
  SilentPlatform silent_;
};

// The paddle keys that move the paddle from `from` to `to`.
std::string keysToMove(int from, int to);

}  // namespace vintaro::test
