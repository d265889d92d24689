#include "app/status_bar.h"
#include "game/rules.h"
#include "sound/cues.h"

namespace vintaro {

namespace {

constexpr int kLastRow = kRows - 1;
constexpr int kLastCol = kColumns - 1;

void setBallColours(GameState& s, std::array<std::int16_t, 3> outer,
                    std::array<std::int16_t, 3> inner) {
  s.ballOuterRGB = outer;
  s.ballInnerRGB = inner;
}

void rearmTimer(GameState& s, Platform& p, std::int16_t periodMs) {
  s.timerMs = periodMs;
  p.setTimer(s.mainWindow, s.timerMs);
}

void testBlock(GameState& s, Platform& p) {
  if (s.ballRow < kFirstBlockRow || s.ballRow >= kFirstBlockRow + kBlockRows) return;
  std::uint8_t& cell = blockAt(s, s.ballRow - kFirstBlockRow, s.ballCol);
  if (cell != 0) {
    const std::uint8_t value = cell;
    --s.blocksLeft;
    s.score = static_cast<std::int16_t>(s.score + value);
    showScoreText(s, p);
    s.lastNote = static_cast<std::uint8_t>(value + 70);
    blockNote(s, p);
    cell = 0;
    s.stepY = static_cast<std::int16_t>(-s.stepY);
    s.lastHitCol = s.ballCol;
    s.lastHitRow = s.ballRow;
  } else if (s.stepY < 0 && s.ballCol == s.lastHitCol && s.ballRow == s.lastHitRow) {
    // The ball turns down in the cell it last cleared.
    s.stepY = 1;
  }
}

void bounceOffSideWall(GameState& s) {
  s.ballCol = static_cast<std::int16_t>(s.ballCol - s.stepX);
  s.spin = static_cast<std::int16_t>(-s.spin);
  s.stepX = static_cast<std::int16_t>(-s.stepX);
}

// Answers false when the game is over and the tick must end.
bool loseBall(GameState& s, Platform& p) {
  lostBallCue(s, p);
  --s.ballsLeft;
  showScoreText(s, p);
  if (s.ballsLeft == 0) {
    // Paused first: the box runs its own loop, and the ticks it lets through
    // must stay inert.
    s.paused = 1;
    p.messageBox(s.mainWindow, kGameOverText, kFinishCaption, BoxIcon::Error);
    p.killTimer(s.mainWindow);
    p.postQuit(0);
    return false;
  }
  s.ballCol = kServeCol;
  s.ballRow = kServeRow;
  s.stepY = 1;
  s.stepX = 0;
  s.spin = 0;
  rearmTimer(s, p, s.intervalMs);
  setBallColours(s, {200, 200, 200}, {180, 0, 0});
  return true;
}

void bounceOffPaddle(GameState& s, Platform& p) {
  s.spin = deflectionTable[s.ballCol - s.paddleCol][s.spin + 3];
  s.stepX = static_cast<std::int16_t>(s.spin / 2);
  s.stepY = -1;
  rearmTimer(s, p, paddlePeriod(s.intervalMs));
  setBallColours(s, {220, 50, 30}, {0, 0, 200});
  paddleCue(s, p);
}

}  // namespace

void stepBall(GameState& s, Platform& p) {
  blockNoteOff(s, p);
  if (s.finished != 0 || s.paused != 0) return;

  s.prevBallCol = s.ballCol;
  s.prevBallRow = s.ballRow;
  testBlock(s, p);

  s.ballCol = static_cast<std::int16_t>(s.ballCol + s.stepX);
  s.ballRow = static_cast<std::int16_t>(s.ballRow + s.stepY);
  if (s.ballCol > kLastCol) bounceOffSideWall(s);
  if (s.ballCol < 0) bounceOffSideWall(s);
  if (s.ballRow < 0) {
    s.ballRow = 1;
    s.stepY = 1;
    rearmTimer(s, p, topWallPeriod(s.intervalMs));
    setBallColours(s, {0, 100, 200}, {180, 0, 0});
  }
  if (s.ballRow > kLastRow && !loseBall(s, p)) return;

  s.stepX = static_cast<std::int16_t>(s.spin - s.stepX);
  if (s.ballRow == kPaddleRow && s.paddleCol <= s.ballCol && s.ballCol <= s.paddleCol + 3) {
    bounceOffPaddle(s, p);
  }

  s.paintMode = kPaintBall;
  s.ballRedrawOwed = true;
  p.invalidate(s.mainWindow, s.blocksLeft == 0);
}

}  // namespace vintaro
