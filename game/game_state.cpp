#include "game/game_state.h"

namespace vintaro {

void fillBlockGrid(GameState& s) {
  for (int b = 0; b < kBlockRows; ++b) {
    for (int k = 0; k < kColumns; ++k) blockAt(s, b, k) = static_cast<std::uint8_t>(9 - b);
  }
}

}  // namespace vintaro
