// One tick of the game timer: walls, blocks, the paddle, lost balls, the tick
// periods and the sound cues, each seen through the platform calls it makes.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "game/rules.h"
#include "tests/test_support.h"

namespace vintaro::test {
namespace {

using Calls = std::vector<std::string>;

const std::string kNoteOff0 = midiLine(0x90, 0, 0);
const std::string kLostBall = midiLine(0x99, 45, 127);
const std::string kPaddleCue = midiLine(0x99, 37, 127);

std::pair<int, int> cell(const GameState& s) { return {s.ballCol, s.ballRow}; }

// Clears a block as a hit would have, keeping the record consistent.
void clearBlock(GameState& s, int col, int row) {
  std::uint8_t& v = blockAt(s, row - kFirstBlockRow, col);
  s.score = static_cast<std::int16_t>(s.score + v);
  --s.blocksLeft;
  v = 0;
}

TEST(BallStep, WhilePausedOrFinishedATickOnlyEndsTheLastNote) {
  Session g;
  g.lines();
  g.p.tick();
  EXPECT_EQ(g.lines(), Calls{"220 " + kNoteOff0});
  EXPECT_EQ(cell(g.s), std::make_pair(18, 14));

  g.play();
  g.s.lastNote = 75;
  g.s.finished = 1;
  g.p.tick();
  g.p.tick();
  EXPECT_EQ(g.calls(), (Calls{midiLine(0x90, 75, 0), midiLine(0x90, 75, 0)}));
  EXPECT_EQ(cell(g.s), std::make_pair(18, 14));
}

TEST(BallStep, SideWallsTakeBackTheStepAndMirrorTheFlight) {
  struct Case {
    int col, stepX, spin;
    std::vector<int> columns;  // after each of four ticks
    int spinAfter;
  };
  const Case cases[] = {
      {35, 2, 3, {35, 34, 32, 31}, -3},  // never touches column 36
      {1, -2, -3, {1, 2, 4, 5}, 3},
      {36, 1, 1, {36, 36, 35, 35}, -1},
      {0, -1, -2, {0, 1, 2, 3}, 2},
      {34, 1, 2, {35, 36, 36, 35}, -2},  // the wall on the third tick
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.col);
    Session g;
    g.play();
    g.placeBall(c.col, 20, c.stepX, -1, c.spin);
    std::vector<int> columns;
    for (int i = 0; i < 4; ++i) {
      g.p.tick();
      columns.push_back(g.s.ballCol);
    }
    EXPECT_EQ(columns, c.columns);
    EXPECT_EQ(g.s.ballRow, 16);
    EXPECT_EQ(g.s.spin, c.spinAfter);
  }
}

TEST(BallStep, TopWallSendsTheBallDownFromRowOneFaster) {
  Session g;
  g.play();
  g.placeBall(36, 0, 1, -1, 1);  // the right wall in the same tick
  g.p.tick();
  EXPECT_EQ(g.lines(),
            (Calls{"220 " + kNoteOff0, "220 timer 121", "220 invalidate 0", "220 paint"}));
  EXPECT_EQ(cell(g.s), std::make_pair(36, 1));
  EXPECT_EQ(g.s.stepY, 1);
  EXPECT_EQ(g.s.spin, -1);
  EXPECT_EQ(g.s.timerMs, 121);
  EXPECT_EQ(g.s.ballOuterRGB, (std::array<std::int16_t, 3>{0, 100, 200}));
  EXPECT_EQ(g.s.ballInnerRGB, (std::array<std::int16_t, 3>{180, 0, 0}));
  g.p.tick();
  EXPECT_EQ(g.lines().front(), "341 " + kNoteOff0);
}

TEST(BallStep, PeriodsAreTruncatedProducts) {
  for (std::int16_t v = 1; v <= 999; ++v) {
    ASSERT_EQ(topWallPeriod(v), static_cast<int>(v * 0.55)) << v;
    ASSERT_EQ(paddlePeriod(v), static_cast<int>(v * 0.75)) << v;
  }
  struct Case {
    std::int16_t interval;
    std::string top, paddle;
  };
  for (const Case& c : {Case{1, "timer 0", "timer 0"}, Case{100, "timer 55", "timer 75"},
                        Case{220, "timer 121", "timer 165"}, Case{999, "timer 549", "timer 749"}}) {
    SCOPED_TRACE(c.interval);
    Session g({.intervalMs = c.interval});
    g.play();
    g.placeBall(5, 0, 0, -1, 0);
    g.p.tick();
    EXPECT_EQ(g.calls().at(1), c.top);
    g.placeBall(16, 25, 0, 1, 0);
    g.p.tick();
    EXPECT_EQ(g.calls().at(1), c.paddle);
  }
  // A period of 0 runs at the platform's 10 ms.
  Session g({.intervalMs = 1});
  g.play();
  g.placeBall(5, 0, 0, -1, 0);
  g.p.tick();
  const auto before = g.p.now();
  g.p.tick();
  EXPECT_EQ(g.p.now() - before, 10);
}

TEST(BallStep, ABlockHitScoresSoundsClearsAndTurnsTheBall) {
  Session g;
  g.play();
  g.placeBall(5, 13, 0, -1, 0);
  g.p.tick();
  EXPECT_EQ(g.calls(), (Calls{kNoteOff0, "status 2 \" Score : 1 / Ball : 10\"",
                              midiLine(0x90, 71, 100), "invalidate 0", "paint"}));
  EXPECT_EQ(blockAt(g.s, 8, 5), 0);
  EXPECT_EQ(g.s.blocksLeft, 332);
  EXPECT_EQ(g.s.score, 1);
  EXPECT_EQ(g.s.stepY, 1);
  EXPECT_EQ(cell(g.s), std::make_pair(5, 14));  // out of the cell in the same tick
  EXPECT_EQ(std::make_pair(int{g.s.lastHitCol}, int{g.s.lastHitRow}), std::make_pair(5, 13));
  EXPECT_EQ(g.s.timerMs, 220);  // hits keep the speed

  // From above, in the top block row.
  g.placeBall(3, 5, 1, 1, 2);
  g.p.tick();
  EXPECT_EQ(g.calls(), (Calls{midiLine(0x90, 71, 0), "status 2 \" Score : 10 / Ball : 10\"",
                              midiLine(0x90, 79, 100), "invalidate 0", "paint"}));
  EXPECT_EQ(g.s.stepY, -1);
  EXPECT_EQ(cell(g.s), std::make_pair(4, 4));
}

TEST(BallStep, EachBlockRowSoundsItsOwnNote) {
  Session g;
  g.play();
  int score = 0;
  for (int b = 0; b < 9; ++b) {
    g.placeBall(10 + b, b + 5, 0, -1, 0);
    g.p.tick();
    score += 9 - b;
    const Calls calls = g.calls();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[1], "status 2 \" Score : " + std::to_string(score) + " / Ball : 10\"");
    EXPECT_EQ(calls[2], midiLine(0x90, static_cast<std::uint8_t>(79 - b), 100));
  }
  EXPECT_TRUE(invariantsHold(g.s));
}

TEST(BallStep, HitsOnConsecutiveTicksEndTheFirstNoteBeforeTheSecond) {
  Session g;
  g.play();
  g.placeBall(20, 9, 0, -1, 0);  // value 5, then 4 just below
  g.p.tick();
  g.calls();
  g.p.tick();
  EXPECT_EQ(g.calls(), (Calls{midiLine(0x90, 75, 0), "status 2 \" Score : 9 / Ball : 10\"",
                              midiLine(0x90, 74, 100), "invalidate 0", "paint"}));
  EXPECT_EQ(cell(g.s), std::make_pair(20, 9));
  EXPECT_EQ(g.s.stepY, -1);
}

TEST(BallStep, ARisingBallTurnsDownInTheLastHitCell) {
  Session g;
  g.play();
  g.placeBall(5, 13, 0, -1, 0);
  g.p.tick();  // hits (5, 13)
  clearBlock(g.s, 6, 13);

  // An empty cell that is not the last hit lets the ball rise on.
  g.placeBall(6, 13, 0, -1, 0);
  g.p.tick();
  EXPECT_EQ(cell(g.s), std::make_pair(6, 12));
  EXPECT_EQ(g.s.stepY, -1);

  // A lost ball does not forget the cell.
  g.placeBall(30, 27, 0, 1, 0);
  g.p.tick();
  EXPECT_EQ(g.s.ballsLeft, 9);
  g.calls();
  g.placeBall(5, 13, 0, -1, 0);
  g.p.tick();
  EXPECT_EQ(g.calls(), (Calls{midiLine(0x90, 71, 0), "invalidate 0", "paint"}));
  EXPECT_EQ(cell(g.s), std::make_pair(5, 14));
  EXPECT_EQ(g.s.stepY, 1);
  EXPECT_EQ(g.s.score, 1 + 1);
}

TEST(BallStep, ALostBallRestartsFromTheStartCell) {
  Session g;
  g.play();
  g.s.timerMs = 165;
  g.placeBall(30, 27, 2, 1, 3);
  g.p.tick();
  EXPECT_EQ(g.calls(), (Calls{kNoteOff0, kLostBall, "status 2 \" Score : 0 / Ball : 9\"",
                              "timer 220", "invalidate 0", "paint"}));
  EXPECT_EQ(cell(g.s), std::make_pair(18, 14));
  EXPECT_EQ(g.s.stepX, 0);
  EXPECT_EQ(g.s.stepY, 1);
  EXPECT_EQ(g.s.spin, 0);
  EXPECT_EQ(g.s.timerMs, 220);
  EXPECT_EQ(g.s.ballOuterRGB, (std::array<std::int16_t, 3>{200, 200, 200}));
  EXPECT_EQ(g.s.ballInnerRGB, (std::array<std::int16_t, 3>{180, 0, 0}));
}

TEST(BallStep, ABallBesideThePaddleIsLostTwoTicksLater) {
  for (const int col : {15, 20}) {
    Session g;
    g.play();
    g.placeBall(col, 25, 0, 1, 0);  // the paddle covers 16..19
    g.p.tick();
    EXPECT_EQ(g.calls().size(), 3u) << "no paddle cue";
    g.p.key(col == 20 ? '.' : 'x');  // too late: now under the ball
    g.p.tick();
    EXPECT_EQ(cell(g.s), std::make_pair(col, 27));
    g.calls();
    g.p.tick();
    EXPECT_EQ(g.calls().at(1), kLostBall);
    EXPECT_EQ(g.s.ballsLeft, 9);
  }
}

TEST(BallStep, LosingTheLastBallEndsTheGame) {
  Session g({.balls = 1});
  g.play();
  g.s.score = 0;
  g.placeBall(30, 27, 0, 1, 0);
  g.p.tick();
  EXPECT_EQ(g.calls(),
            (Calls{kNoteOff0, kLostBall, "status 2 \" Score : 0 / Ball : 0\"",
                   "msgbox error \"Vintaro finish\" \"ボールを使い切りました、終了です。\"",
                   "killtimer", "quit 0"}));
  EXPECT_TRUE(g.p.quitTaken());
  EXPECT_EQ(g.s.paused, 1);
  EXPECT_EQ(cell(g.s), std::make_pair(30, 28));  // not restarted
  EXPECT_TRUE(invariantsHold(g.s));
}

// The deflection table as the game was designed: new spin by the paddle cell
// met (rows) and the incoming spin -3..3 (columns).
constexpr int kDeflection[4][7] = {
    {3, 2, 1, 3, 1, 2, 3},
    {2, 1, 0, 2, 0, 1, 2},
    {-2, -1, 0, -2, 0, -1, -2},
    {-3, -2, -1, -3, -1, -2, -3},
};

TEST(BallStep, EveryPaddleCellAndSpinDeflectsAsTheTableSays) {
  Session g;
  g.play();
  for (int offset = 0; offset < 4; ++offset) {
    for (int spin = -3; spin <= 3; ++spin) {
      SCOPED_TRACE(testing::Message() << "offset " << offset << " spin " << spin);
      g.s.paddleCol = static_cast<std::int16_t>(18 - offset);
      g.placeBall(18, 25, 0, 1, spin);
      g.p.tick();
      const int want = kDeflection[offset][spin + 3];
      EXPECT_EQ(g.s.spin, want);
      EXPECT_EQ(g.s.stepX, want / 2);
      EXPECT_EQ(g.s.stepY, -1);
      EXPECT_EQ(cell(g.s), std::make_pair(18, 26));
      EXPECT_EQ(g.calls(), (Calls{kNoteOff0, "timer 165", kPaddleCue, "invalidate 0", "paint"}));
      EXPECT_EQ(g.s.ballOuterRGB, (std::array<std::int16_t, 3>{220, 50, 30}));
      EXPECT_EQ(g.s.ballInnerRGB, (std::array<std::int16_t, 3>{0, 0, 200}));
    }
  }
}

TEST(BallStep, FlightsAfterTheBounceAlternateTheirSteps) {
  struct Case {
    int paddleCol, spin;
    std::vector<int> columns;
  };
  // Offset 0 with spin 0 gives spin 3: steps 1, 2, 1, 2 to the right. The
  // second cell with spin 1 or -1 sends the ball straight up.
  const Case cases[] = {{16, 0, {16, 17, 19, 20, 22}},
                        {15, 1, {16, 16, 16, 16, 16}},
                        {15, -1, {16, 16, 16, 16, 16}},
                        {13, 0, {16, 15, 13, 12, 10}}};
  for (const Case& c : cases) {
    Session g;
    g.play();
    g.s.paddleCol = static_cast<std::int16_t>(c.paddleCol);
    g.placeBall(16, 25, 0, 1, c.spin);
    std::vector<int> columns;
    for (int i = 0; i < 5; ++i) {
      g.p.tick();
      columns.push_back(g.s.ballCol);
    }
    EXPECT_EQ(columns, c.columns) << c.paddleCol << " " << c.spin;
    EXPECT_EQ(g.s.ballRow, 22);
  }
}

TEST(BallStep, TheStartProgramIsTheXylophone) {
  Session g;
  const Calls start = g.calls();
  ASSERT_FALSE(start.empty());
  EXPECT_EQ(start.back(), midiLine(0xC0, 13, 0));
}

}  // namespace
}  // namespace vintaro::test
