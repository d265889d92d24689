// Start-up: the record's start values, the order of the first calls, and the
// status texts at the moments they are shown.
#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <string>
#include <vector>

#include "app/window.h"
#include "tests/test_support.h"

namespace vintaro::test {
namespace {

using Calls = std::vector<std::string>;

const std::string kCredit = "status 0 \" ピルモ(62歳)作のブロック崩し\"";

TEST(StartUp, TheRecordStartsAndIsCreatedAsTheGameExpects) {
  auto s = std::make_unique<GameState>();
  EXPECT_EQ(s->blocksLeft, 333);
  EXPECT_EQ(s->ballsLeft, 10);
  EXPECT_EQ(s->intervalMs, 220);
  EXPECT_EQ(s->paddleCol, 16);
  EXPECT_EQ(s->stepY, 1);
  EXPECT_EQ(s->paused, 1);
  EXPECT_EQ(s->paintMode, 0);
  EXPECT_EQ(std::accumulate(s->blockGrid.begin(), s->blockGrid.end(), 0), 0);

  SilentPlatform p;
  windowProc(*s, p, &p, Message::Create);
  EXPECT_EQ(s->paintMode, 1);
  EXPECT_EQ(s->paused, 1);
  EXPECT_NE(s->statusBar, nullptr);
  for (int k = 0; k < kColumns; ++k) {
    EXPECT_EQ(blockAt(*s, 0, k), 9);
    EXPECT_EQ(blockAt(*s, 8, k), 1);
  }
  EXPECT_EQ(std::accumulate(s->blockGrid.begin(), s->blockGrid.end(), 0), 1665);
  EXPECT_TRUE(invariantsHold(*s));
}

TEST(StartUp, ClosingBeforePlayEndsCleanlyInOrder) {
  TempDir dir;
  writeFile("Vintaro.gol", rewardFile(patternPicture()));
  std::ostringstream trace;
  HeadlessPlatform p(&trace);
  auto s = std::make_unique<GameState>();
  EXPECT_EQ(runGame(*s, p), 0);
  std::vector<std::string> calls = splitLines(trace.str());
  for (std::string& c : calls) c = withoutClock(c);
  const Calls want = {kCredit,
                      "msgbox warning \"Vintaro warning\" "
                      "\"初期値ファイルが見当たりませんので、\\n既定値を適用します。\"",
                      "show",
                      "paint",
                      "status 1 \" 初期値(Ball:10, Intvl:220)\"",
                      "timer 220",
                      "midiopen",
                      midiLine(0xC0, 13, 0),
                      "killtimer",
                      "quit 0",
                      "midiclose"};
  EXPECT_EQ(calls, want);
}

TEST(StartUp, TheFirstPaintServesTheBallAndShowsTheValuesInForce) {
  Session g({.balls = 3, .intervalMs = 100});
  const Calls start = g.calls();
  EXPECT_EQ(start, (Calls{kCredit, "show", "paint", "status 1 \" 初期値(Ball:3, Intvl:100)\"",
                          "timer 100", "midiopen", midiLine(0xC0, 13, 0)}));
  g.p.traceState();
  EXPECT_EQ(g.calls(),
            Calls{"state ballCol=18 ballRow=14 stepX=0 stepY=1 spin=0 prevBallCol=0 "
                  "prevBallRow=0 lastHitCol=0 lastHitRow=0 paddleCol=16 prevPaddleCol=16 "
                  "blocksLeft=333 score=0 ballsLeft=3 paused=1 finished=0 paintMode=2 "
                  "introShown=1 intervalMs=100 timerMs=100 lastNote=0 grid=" +
                  std::string(37, '9') + std::string(37, '8') + std::string(37, '7') +
                  std::string(37, '6') + std::string(37, '5') + std::string(37, '4') +
                  std::string(37, '3') + std::string(37, '2') + std::string(37, '1')});
  EXPECT_EQ(g.s.ballOuterRGB, (std::array<std::int16_t, 3>{200, 200, 200}));
  EXPECT_EQ(g.s.ballInnerRGB, (std::array<std::int16_t, 3>{180, 0, 0}));

  // The initial values are shown once, whatever the balls do later.
  g.play();
  g.placeBall(30, 27, 0, 1, 0);
  g.p.tick();
  g.p.expose();
  g.p.key(';');
  for (const std::string& c : g.calls()) EXPECT_FALSE(c.starts_with("status 1")) << c;
}

TEST(StartUp, BeforeTheFirstSpaceTheBallWaitsWhileTheTimerRuns) {
  Session g;
  g.calls();
  for (int i = 0; i < 5; ++i) g.p.tick();
  EXPECT_EQ(g.calls(), Calls(5, midiLine(0x90, 0, 0)));
  EXPECT_EQ(g.p.now(), 5 * 220);
  EXPECT_EQ(g.s.ballRow, 14);
}

}  // namespace
}  // namespace vintaro::test
