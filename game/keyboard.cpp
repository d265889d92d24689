#include <algorithm>

#include "game/rules.h"

namespace vintaro {

namespace {

// Paddle step of a key, or 0 for a key that is not a paddle key.
int paddleStep(unsigned character) {
  switch (character) {
    case 'a':
    case 's':
      return -4;
    case 'x':
    case 'c':
      return -1;
    case ',':
    case '.':
      return 1;
    case ';':
    case ':':
      return 4;
    default:
      return 0;
  }
}

}  // namespace

void handleKey(GameState& s, Platform& p, unsigned character) {
  if (s.finished != 0) return;
  if (character == ' ') {
    s.paused = s.paused != 0 ? 0 : 1;
    return;
  }
  if (s.paused != 0) return;
  const int step = paddleStep(character);
  if (step == 0) return;

  s.prevPaddleCol = s.paddleCol;
  s.paddleCol = static_cast<std::int16_t>(std::clamp(s.paddleCol + step, 0, kMaxPaddleCol));
  s.paintMode = kPaintPaddle;
  s.paddleRedrawOwed = true;
  p.invalidate(s.mainWindow, false);
}

}  // namespace vintaro
