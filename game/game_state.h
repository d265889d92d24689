// The one record of everything the game keeps between window messages.
#pragma once

#include <array>
#include <cstdint>

#include "app/platform.h"

namespace vintaro {

inline constexpr std::int32_t clientWidth = 639;
inline constexpr std::int32_t clientHeight = 598;

inline constexpr int kColumns = 37;
inline constexpr int kRows = 28;
inline constexpr int kBlockRows = 9;
inline constexpr int kFirstBlockRow = 5;  // grid row of block row 0
inline constexpr int kBlockCount = kColumns * kBlockRows;
inline constexpr int kPaddleRow = 26;
inline constexpr int kPaddleWidth = 4;
inline constexpr int kMaxPaddleCol = kColumns - kPaddleWidth;
inline constexpr int kServeCol = 18;
inline constexpr int kServeRow = 14;

inline constexpr int kPictureWidth = 370;
inline constexpr int kPictureHeight = 280;
inline constexpr int kPictureBytes = kPictureWidth * kPictureHeight * 3;

inline constexpr int kTextBufferSize = 50;

inline constexpr std::array<std::int32_t, 3> statusParts = {210, 380, -1};

// What the next paint draws.
enum PaintMode : std::int16_t {
  kPaintNothing = 0,
  kPaintFirstBoard = 1,
  kPaintFullBoard = 2,
  kPaintPaddle = 3,
  kPaintBall = 4,
};

struct GameState {
  // Board and counters.
  std::array<std::uint8_t, kBlockCount> blockGrid{};  // [b * 37 + k]
  std::int16_t blocksLeft = kBlockCount;
  std::int16_t score = 0;
  std::int16_t ballsLeft = 10;

  // Ball.
  std::int16_t ballCol = 0;
  std::int16_t ballRow = 0;
  std::int16_t stepY = 1;
  std::int16_t spin = 0;
  std::int16_t stepX = 0;
  std::int16_t prevBallCol = 0;
  std::int16_t prevBallRow = 0;
  std::int16_t lastHitCol = 0;
  std::int16_t lastHitRow = 0;
  std::array<std::int16_t, 3> ballOuterRGB{};
  std::array<std::int16_t, 3> ballInnerRGB{};

  // Paddle.
  std::int16_t paddleCol = 16;
  std::int16_t prevPaddleCol = 16;

  // Flow and timing.
  std::int16_t paintMode = kPaintNothing;
  std::int16_t paused = 1;
  std::int16_t finished = 0;
  std::int16_t introShown = 0;
  std::int16_t intervalMs = 220;
  std::int16_t timerMs = 0;

  // Sound.
  std::uint8_t lastNote = 0;

  // Reward picture, top row first, RGB.
  std::array<std::uint8_t, kPictureBytes> picture{};

  // Handles and the shared text buffer.
  Handle mainWindow = nullptr;
  Handle statusBar = nullptr;
  Handle midiOut = nullptr;
  std::array<char, kTextBufferSize> textBuffer{};

  // Where the ball and paddle stand on screen, and which partial redraws are
  // owed. paintMode keeps one request only; these make a paint draw every
  // redraw asked for since the last one, so no stale image is left behind.
  std::int16_t ballDrawnCol = 0;
  std::int16_t ballDrawnRow = 0;
  std::int16_t paddleDrawnCol = 16;
  bool ballRedrawOwed = false;
  bool paddleRedrawOwed = false;
};

inline std::uint8_t& blockAt(GameState& s, int blockRow, int col) {
  return s.blockGrid[static_cast<std::size_t>(blockRow * kColumns + col)];
}

// Fills every cell of block row b with 9 - b.
void fillBlockGrid(GameState& s);

}  // namespace vintaro
