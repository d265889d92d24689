#include "platform/common/state_line.h"

namespace vintaro {

std::string formatStateLine(const GameState& s) {
  std::string out;
  const auto field = [&out](const char* name, int value) {
    if (!out.empty()) out += ' ';
    out += name;
    out += '=';
    out += std::to_string(value);
  };
  field("ballCol", s.ballCol);
  field("ballRow", s.ballRow);
  field("stepX", s.stepX);
  field("stepY", s.stepY);
  field("spin", s.spin);
  field("prevBallCol", s.prevBallCol);
  field("prevBallRow", s.prevBallRow);
  field("lastHitCol", s.lastHitCol);
  field("lastHitRow", s.lastHitRow);
  field("paddleCol", s.paddleCol);
  field("prevPaddleCol", s.prevPaddleCol);
  field("blocksLeft", s.blocksLeft);
  field("score", s.score);
  field("ballsLeft", s.ballsLeft);
  field("paused", s.paused);
  field("finished", s.finished);
  field("paintMode", s.paintMode);
  field("introShown", s.introShown);
  field("intervalMs", s.intervalMs);
  field("timerMs", s.timerMs);
  field("lastNote", s.lastNote);
  out += " grid=";
  for (const std::uint8_t v : s.blockGrid) out += static_cast<char>('0' + v);
  return out;
}

}  // namespace vintaro
