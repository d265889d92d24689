#include "render/painter.h"

#include "app/status_bar.h"
#include "render/tables.h"
#include "sound/cues.h"

namespace vintaro {

namespace {

constexpr int kTopBand = 5;
constexpr int kBottomBandTop = 594;
constexpr int kSideBand = 5;

void fill(Platform& p, int x0, int y0, int x1, int y1, Rgb c) {
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) p.setPixel(x, y, c);
  }
}

Rgb rgbOf(const std::array<std::int16_t, 3>& c) {
  return Rgb{static_cast<std::uint8_t>(c[0]), static_cast<std::uint8_t>(c[1]),
             static_cast<std::uint8_t>(c[2])};
}

void drawFrame(Platform& p) {
  const Rgb green = paletteColour(kFramePalette);
  const int right = clientWidth - 1;
  const int bottom = clientHeight - 1;
  fill(p, 0, 0, right, kTopBand - 1, green);
  fill(p, 0, kBottomBandTop, right, bottom, green);
  fill(p, 0, kTopBand, kSideBand - 1, kBottomBandTop - 1, green);
  fill(p, clientWidth - kSideBand, kTopBand, right, kBottomBandTop - 1, green);
}

void drawBlocks(const GameState& s, Platform& p, bool all) {
  for (int b = 0; b < kBlockRows; ++b) {
    const Rgb colour = paletteColour(b);
    const std::uint8_t* glyph = &digitGlyphs[static_cast<std::size_t>((9 - b) * kTileSize)];
    const int y0 = tileY(b + kFirstBlockRow);
    for (int k = 0; k < kColumns; ++k) {
      if (!all && s.blockGrid[static_cast<std::size_t>(b * kColumns + k)] == 0) continue;
      const int x0 = tileX(k);
      for (int j = 0; j < kTileHeight; ++j) {
        for (int i = 0; i < kTileWidth; ++i) {
          if (glyph[j * kTileWidth + i] != 0) p.setPixel(x0 + i, y0 + j, colour);
        }
      }
    }
  }
}

void fillPaddleStrip(Platform& p, int col, Rgb c) {
  fill(p, tileX(col), kPaddleTop, tileX(col) + kPaddleLength - 1, kPaddleTop + kPaddleHeight - 1,
       c);
}

void drawPaddle(GameState& s, Platform& p, int col) {
  fillPaddleStrip(p, col, paletteColour(kPaddlePalette));
  s.paddleDrawnCol = static_cast<std::int16_t>(col);
}

void drawBall(GameState& s, Platform& p) {
  const Rgb outer = rgbOf(s.ballOuterRGB);
  const Rgb inner = rgbOf(s.ballInnerRGB);
  const int x0 = tileX(s.ballCol);
  const int y0 = tileY(s.ballRow);
  for (int j = 0; j < kTileHeight; ++j) {
    for (int i = 0; i < kTileWidth; ++i) {
      const std::uint8_t v = ballSprite[static_cast<std::size_t>(j * kTileWidth + i)];
      if (v != 0) p.setPixel(x0 + i, y0 + j, v == 1 ? outer : inner);
    }
  }
  s.ballDrawnCol = s.ballCol;
  s.ballDrawnRow = s.ballRow;
}

void eraseTile(Platform& p, int col, int row) {
  fill(p, tileX(col), tileY(row), tileX(col) + kTileWidth - 1, tileY(row) + kTileHeight - 1,
       kBackground);
}

void drawPicture(const GameState& s, Platform& p) {
  for (int y = 0; y < kPictureHeight; ++y) {
    for (int x = 0; x < kPictureWidth; ++x) {
      const std::uint8_t* px = &s.picture[static_cast<std::size_t>((y * kPictureWidth + x) * 3)];
      p.setPixel(kPictureLeft + x, kPictureTop + y, Rgb{px[0], px[1], px[2]});
    }
  }
}

void drawFirstBoard(GameState& s, Platform& p) {
  drawFrame(p);
  drawBlocks(s, p, true);
  drawPaddle(s, p, 16);
  s.ballCol = kServeCol;
  s.ballRow = kServeRow;
  s.ballOuterRGB = {200, 200, 200};
  s.ballInnerRGB = {180, 0, 0};
  drawBall(s, p);
  s.prevBallCol = 0;
  s.prevBallRow = 0;
  s.stepX = 0;
  s.spin = 0;
  s.stepY = 1;
  s.timerMs = s.intervalMs;
  p.setTimer(s.mainWindow, s.timerMs);
  s.paddleCol = 16;
  s.prevPaddleCol = 16;
}

void drawFullBoard(GameState& s, Platform& p) {
  drawFrame(p);
  drawBlocks(s, p, false);
  drawPaddle(s, p, s.paddleCol);
  drawBall(s, p);
}

// Every partial redraw owed since the last paint, each erased where it was
// last drawn: a key between a tick and its paint must not cost the ball its
// redraw, nor several keys leave an old paddle strip behind.
void drawOwedRedraws(GameState& s, Platform& p) {
  if (s.paddleRedrawOwed || s.paintMode == kPaintPaddle) {
    fillPaddleStrip(p, s.paddleDrawnCol, kBackground);
    drawPaddle(s, p, s.paddleCol);
  }
  if (s.ballRedrawOwed || s.paintMode == kPaintBall) {
    eraseTile(p, s.ballDrawnCol, s.ballDrawnRow);
    drawBall(s, p);
  }
}

}  // namespace

void paintBoard(GameState& s, Platform& p) {
  if (s.finished != 0) return;
  const bool erased = p.beginPaint(s.mainWindow);
  showIntroText(s, p);

  if (s.blocksLeft == 0) {
    drawPicture(s, p);
    s.finished = 1;
    p.endPaint(s.mainWindow);
    s.paintMode = kPaintNothing;
    victoryJingle(s, p);
    return;
  }

  switch (s.paintMode) {
    case kPaintFirstBoard:
      drawFirstBoard(s, p);
      break;
    case kPaintFullBoard:
      drawFullBoard(s, p);
      break;
    case kPaintPaddle:
    case kPaintBall:
      // An erased client area has lost the whole board, not just one piece.
      if (erased) {
        drawFullBoard(s, p);
      } else {
        drawOwedRedraws(s, p);
      }
      break;
    default:
      break;
  }
  s.ballRedrawOwed = false;
  s.paddleRedrawOwed = false;
  p.endPaint(s.mainWindow);
  s.paintMode = kPaintFullBoard;
}

}  // namespace vintaro
