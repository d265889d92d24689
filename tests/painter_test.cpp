// What each paint leaves on the headless client area.
#include "render/painter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "game/rules.h"
#include "render/tables.h"
#include "tests/test_support.h"

namespace vintaro::test {
namespace {

using Calls = std::vector<std::string>;

const Rgb kGreen{0, 115, 0};
const Rgb kPaddle{220, 220, 220};

struct Box {
  int x0, y0, x1, y1;
  bool has(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};
Box tile(int col, int row) { return {17 * col + 6, 21 * row + 6, 17 * col + 20, 21 * row + 24}; }
Box strip(int paddleCol) { return {17 * paddleCol + 6, 573, 17 * paddleCol + 71, 577}; }

::testing::AssertionResult changesWithin(const std::vector<Rgb>& before,
                                         const std::vector<Rgb>& after,
                                         std::initializer_list<Box> boxes) {
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i] == after[i]) continue;
    const int x = static_cast<int>(i) % HeadlessPlatform::kWidth;
    const int y = static_cast<int>(i) / HeadlessPlatform::kWidth;
    if (std::none_of(boxes.begin(), boxes.end(), [&](const Box& b) { return b.has(x, y); })) {
      return ::testing::AssertionFailure() << "pixel " << x << "," << y << " changed";
    }
  }
  return ::testing::AssertionSuccess();
}

bool allOf(const HeadlessPlatform& p, Box box, Rgb colour) {
  for (int y = box.y0; y <= box.y1; ++y) {
    for (int x = box.x0; x <= box.x1; ++x) {
      if (!(p.pixel(x, y) == colour)) return false;
    }
  }
  return true;
}

// Clears every block but one, as hits would have.
void leaveOneBlock(GameState& s, int col, int blockRow) {
  for (int b = 0; b < kBlockRows; ++b) {
    for (int k = 0; k < kColumns; ++k) {
      if (b != blockRow || k != col) blockAt(s, b, k) = 0;
    }
  }
  s.blocksLeft = 1;
  s.score = static_cast<std::int16_t>(1665 - (9 - blockRow));
}

TEST(Painter, TheFirstBoard) {
  Session g;
  EXPECT_TRUE(screenShowsBoard(g.p, g.s));
  // The frame: 5 lines at the top and the sides, 4 at the bottom.
  EXPECT_TRUE(allOf(g.p, {0, 0, 638, 4}, kGreen));
  EXPECT_TRUE(allOf(g.p, {0, 594, 638, 597}, kGreen));
  EXPECT_TRUE(allOf(g.p, {0, 0, 4, 597}, kGreen));
  EXPECT_TRUE(allOf(g.p, {634, 0, 638, 597}, kGreen));
  EXPECT_TRUE(allOf(g.p, {5, 5, 633, 5}, kGrey));
  EXPECT_TRUE(allOf(g.p, {5, 592, 633, 593}, kGrey));
  EXPECT_TRUE(allOf(g.p, {0, 598, 638, 618}, kGrey));  // the status bar's strip
  // Glyph 9 in the top row, glyph 1 in the bottom row, digits cut out.
  EXPECT_EQ(g.p.pixel(6, 111), kGrey);  // corner
  EXPECT_EQ(g.p.pixel(7, 111), (Rgb{169, 169, 84}));
  EXPECT_EQ(g.p.pixel(6 + 3, 111 + 3), (Rgb{169, 169, 84}));
  EXPECT_EQ(g.p.pixel(6 + 4, 111 + 3), kGrey);
  EXPECT_EQ(g.p.pixel(17 * 36 + 6 + 6, 279 + 3), (Rgb{90, 90, 46}));
  EXPECT_EQ(g.p.pixel(17 * 36 + 6 + 7, 279 + 3), kGrey);
  EXPECT_EQ(g.p.pixel(17 * 36 + 20, 297), kGrey);  // corner
  // The paddle at column 16 and the ball at the start cell.
  EXPECT_TRUE(allOf(g.p, strip(16), kPaddle));
  EXPECT_EQ(g.p.pixel(277, 575), kGrey);
  EXPECT_EQ(g.p.pixel(344, 575), kGrey);
  EXPECT_EQ(g.p.pixel(300, 572), kGrey);
  EXPECT_EQ(g.p.pixel(300, 578), kGrey);
  EXPECT_EQ(g.p.pixel(312 + 6, 303), (Rgb{200, 200, 200}));
  EXPECT_EQ(g.p.pixel(312 + 7, 303), (Rgb{180, 0, 0}));
  EXPECT_EQ(g.p.pixel(312 + 5, 303), kGrey);
  EXPECT_TRUE(allOf(g.p, {312, 300, 326, 302}, kGrey));
}

TEST(Painter, TheFirstBoardDrawsEveryBlockAndLaterBoardsOnlyThoseLeft) {
  std::ostringstream trace;
  HeadlessPlatform p(&trace);
  auto s = std::make_unique<GameState>();
  s->mainWindow = p.createMainWindow(*s);
  blockAt(*s, 0, 0) = 0;
  blockAt(*s, 8, 36) = 0;
  s->blocksLeft = 331;
  s->paddleCol = 3;
  p.showWindow(s->mainWindow);
  EXPECT_TRUE(allOf(p, strip(16), kPaddle));
  EXPECT_EQ(p.pixel(17 * 3 + 6, 575), kGrey);
  EXPECT_EQ(s->paddleCol, 16);
  EXPECT_EQ(p.pixel(7, 111), (Rgb{169, 169, 84}));
  EXPECT_EQ(p.pixel(17 * 36 + 7, 279), (Rgb{90, 90, 46}));
  p.expose();
  EXPECT_TRUE(allOf(p, tile(0, 5), kGrey));
  EXPECT_TRUE(allOf(p, tile(36, 13), kGrey));
  EXPECT_TRUE(screenShowsBoard(p, *s));
}

TEST(Painter, APaddleRedrawMovesOnlyTheStrip) {
  Session g;
  g.play();
  std::vector<Rgb> before = screen(g.p);
  g.p.key('a');
  EXPECT_TRUE(changesWithin(before, screen(g.p), {strip(16), strip(12)}));
  EXPECT_TRUE(screenShowsBoard(g.p, g.s));

  for (const char c : std::string("aaa")) g.p.key(static_cast<unsigned char>(c));
  EXPECT_TRUE(allOf(g.p, {6, 573, 71, 577}, kPaddle));
  EXPECT_EQ(g.p.pixel(5, 575), kGrey);
  EXPECT_EQ(g.p.pixel(72, 575), kGrey);
  EXPECT_TRUE(screenShowsBoard(g.p, g.s));

  before = screen(g.p);
  g.p.key('x');  // clamped: erased and drawn in place
  EXPECT_EQ(screen(g.p), before);

  for (int i = 0; i < 9; ++i) g.p.key(';');
  EXPECT_EQ(g.s.paddleCol, 33);
  EXPECT_TRUE(allOf(g.p, {567, 573, 632, 577}, kPaddle));
  EXPECT_EQ(g.p.pixel(566, 575), kGrey);
  EXPECT_EQ(g.p.pixel(633, 575), kGrey);
  EXPECT_EQ(g.p.pixel(634, 575), kGreen);
  EXPECT_TRUE(screenShowsBoard(g.p, g.s));
}

TEST(Painter, ABallRedrawErasesExactlyThePreviousTile) {
  Session g;
  g.play();
  const std::vector<Rgb> before = screen(g.p);
  g.p.tick();
  EXPECT_TRUE(changesWithin(before, screen(g.p), {tile(18, 14), tile(18, 15)}));
  EXPECT_TRUE(allOf(g.p, tile(18, 14), kGrey));
  EXPECT_TRUE(screenShowsBoard(g.p, g.s));

  // Into a block's cell: the glyph shows around the ball for one tick, then
  // the hit's redraw takes the whole tile away.
  g.placeBall(5, 14, 0, -1, 0);
  g.p.tick();
  EXPECT_TRUE(screenShowsBoard(g.p, g.s));
  EXPECT_EQ(g.p.pixel(17 * 5 + 7, 279), (Rgb{90, 90, 46}));
  g.p.tick();
  EXPECT_EQ(g.s.score, 1);
  EXPECT_TRUE(allOf(g.p, tile(5, 13), kGrey));
  EXPECT_TRUE(screenShowsBoard(g.p, g.s));
}

TEST(Painter, ABallErasedInRowTwentySevenTakesPartOfTheStrip) {
  Session g;
  g.play();
  g.placeBall(20, 25, 0, 1, 0);
  g.p.tick();    // row 26 beside the paddle
  g.p.key('.');  // the paddle now spans columns 17..20, x 295..360
  g.p.tick();    // row 27, over the strip
  EXPECT_TRUE(allOf(g.p, {346, 573, 360, 575}, kPaddle));
  g.p.tick();  // lost
  EXPECT_TRUE(allOf(g.p, {346, 573, 360, 577}, kGrey));
  EXPECT_TRUE(allOf(g.p, {295, 573, 345, 577}, kPaddle));
}

TEST(Painter, ExposeRedrawsTheFullBoardAndNeverTheInitialValues) {
  Session g;
  g.calls();
  const std::vector<Rgb> first = screen(g.p);
  g.p.expose();
  EXPECT_EQ(g.calls(), Calls{"paint"});
  EXPECT_EQ(screen(g.p), first);
  EXPECT_EQ(g.s.paintMode, 2);

  g.play();
  g.placeBall(9, 13, 0, -1, 0);
  for (int i = 0; i < 6; ++i) g.p.tick();
  g.p.key(';');
  g.p.expose();
  EXPECT_TRUE(screenShowsBoard(g.p, g.s));
}

TEST(Painter, TheRewardPictureReplacesTheBoardWhateverTheMode) {
  Session g;
  const Picture plain = patternPicture();
  std::copy(plain.begin(), plain.end(), g.s.picture.begin());
  g.play();
  leaveOneBlock(g.s, 7, 3);
  g.placeBall(7, 8, 0, -1, 0);
  // The last hit's erasing request, then a key before the paint.
  stepBall(g.s, g.p);
  handleKey(g.s, g.p, ',');
  EXPECT_EQ(g.s.paintMode, 3);
  g.p.key('z');
  EXPECT_EQ(g.s.finished, 1);
  EXPECT_EQ(g.s.paintMode, 0);
  for (int y = 0; y < HeadlessPlatform::kHeight; ++y) {
    for (int x = 0; x < HeadlessPlatform::kWidth; ++x) {
      const bool inside = x >= 136 && x <= 505 && y >= 153 && y <= 432;
      ASSERT_EQ(g.p.pixel(x, y), inside ? pictureAt(plain, x - 136, y - 153) : kGrey)
          << x << "," << y;
    }
  }
  const Calls calls = g.calls();
  ASSERT_GE(calls.size(), 7u);
  EXPECT_EQ(calls[3], "invalidate 1");
  EXPECT_EQ(calls[5], "paint");
  EXPECT_EQ(calls[6], midiLine(0xC0, 51, 0));
  // Afterwards a paint draws nothing and starts no tune.
  g.p.expose();
  EXPECT_EQ(g.calls(), Calls{"paint"});
}

// Where each paint begins and ends among the MIDI messages.
class PaintEdges final : public HeadlessPlatform {
 public:
  bool beginPaint(Handle window) override {
    calls.push_back("begin");
    return HeadlessPlatform::beginPaint(window);
  }
  void endPaint(Handle window) override {
    calls.push_back("end");
    HeadlessPlatform::endPaint(window);
  }
  void midiShortMsg(Handle midi, std::uint32_t message) override {
    calls.push_back("midi");
    HeadlessPlatform::midiShortMsg(midi, message);
  }
  Calls calls;
};

// The tune holds the thread for seconds: the reward must be on the screen,
// its paint ended, before it starts.
TEST(Painter, TheVictoryTuneStartsOnceTheRewardsPaintHasEnded) {
  PaintEdges p;
  auto s = std::make_unique<GameState>();
  s->blocksLeft = 0;
  paintBoard(*s, p);
  ASSERT_GE(p.calls.size(), 3u);
  EXPECT_EQ(Calls(p.calls.begin(), p.calls.begin() + 3), (Calls{"begin", "end", "midi"}));
}

// A key or an expose between a tick and its paint: the one paint that follows
// must leave the same image as the paints in their usual order.
TEST(PainterMends, AKeyBeforeTheTicksPaintKeepsTheBallRedraw) {
  Session usual;
  usual.play();
  usual.p.tick();
  usual.p.key(',');

  Session late;
  late.play();
  stepBall(late.s, late.p);
  handleKey(late.s, late.p, ',');
  late.p.key('z');  // ignored; lets the one paint happen
  EXPECT_EQ(late.calls(), (Calls{"midi 00000090", "invalidate 0", "invalidate 0", "paint"}));
  EXPECT_EQ(screen(late.p), screen(usual.p));
  EXPECT_TRUE(screenShowsBoard(late.p, late.s));
}

TEST(PainterMends, ATickBeforeTheKeysPaintKeepsThePaddleRedraw) {
  Session usual;
  usual.play();
  usual.p.key(';');
  usual.p.tick();

  Session late;
  late.play();
  handleKey(late.s, late.p, ';');
  stepBall(late.s, late.p);
  late.p.key('z');
  EXPECT_EQ(screen(late.p), screen(usual.p));
  EXPECT_TRUE(screenShowsBoard(late.p, late.s));
}

TEST(PainterMends, SeveralPaddleMovesBeforeOnePaintLeaveNoOldStrip) {
  Session usual;
  usual.play();
  for (const char c : std::string(";;x")) usual.p.key(static_cast<unsigned char>(c));

  Session late;
  late.play();
  for (const char c : std::string(";;x")) handleKey(late.s, late.p, static_cast<unsigned char>(c));
  late.p.key('z');
  EXPECT_EQ(screen(late.p), screen(usual.p));
  EXPECT_TRUE(screenShowsBoard(late.p, late.s));
}

TEST(PainterMends, AnErasedPaintWithARedrawPendingDrawsTheFullBoard) {
  for (const bool key : {false, true}) {
    Session usual;
    usual.play();
    usual.p.tick();
    if (key) usual.p.key('.');
    usual.p.expose();

    Session late;
    late.play();
    stepBall(late.s, late.p);
    if (key) handleKey(late.s, late.p, '.');
    late.p.expose();
    EXPECT_EQ(screen(late.p), screen(usual.p));
    EXPECT_TRUE(screenShowsBoard(late.p, late.s));
  }
}

TEST(Tables, GlyphsAndTheBallSpriteKeepTheirShape) {
  for (int g = 0; g < 10; ++g) {
    const auto cellOf = [&](int i, int j) {
      return digitGlyphs[static_cast<std::size_t>(285 * g + 15 * j + i)];
    };
    for (const int j : {0, 1, 2, 16, 17, 18}) {
      for (int i = 0; i < 15; ++i) {
        const bool corner = (i == 0 || i == 14) && (j == 0 || j == 18);
        EXPECT_EQ(cellOf(i, j) == 0, corner) << "glyph " << g << " cell " << i << "," << j;
      }
    }
  }
  int outer = 0, inner = 0;
  for (int j = 0; j < 19; ++j) {
    for (int i = 0; i < 15; ++i) {
      const int v = ballSprite[static_cast<std::size_t>(15 * j + i)];
      outer += v == 1;
      inner += v == 2;
      if (j < 3 || j > 15 || i == 0 || i == 14) {
        EXPECT_EQ(v, 0) << i << "," << j;
      }
    }
  }
  EXPECT_EQ(outer, 85);
  EXPECT_EQ(inner, 36);
  EXPECT_EQ(paletteColour(10), kGreen);
  EXPECT_EQ(paletteColour(13), kPaddle);
  const Rgb blockRows[9] = {{169, 169, 84}, {157, 157, 79}, {149, 149, 74},
                            {145, 145, 72}, {135, 135, 67}, {122, 122, 61},
                            {114, 114, 56}, {99, 99, 50},   {90, 90, 46}};
  for (int b = 0; b < 9; ++b) EXPECT_EQ(paletteColour(b), blockRows[b]) << "block row " << b;
}

}  // namespace
}  // namespace vintaro::test
