// The game record as vintaro-replay's `state` command prints it, so that a
// game played anywhere can be compared with its replay.
#pragma once

#include <string>

#include "game/game_state.h"

namespace vintaro {

// The state line's values, "name=value" space-separated, then the grid.
std::string formatStateLine(const GameState& state);

}  // namespace vintaro
