// Whole games played to their ends: one losing every ball, one clearing the
// board.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/window.h"
#include "tests/steering.h"
#include "tests/test_support.h"

namespace vintaro::test {
namespace {

int count(const std::vector<std::string>& lines, const std::string& call) {
  return static_cast<int>(std::count_if(
      lines.begin(), lines.end(), [&](const std::string& l) { return withoutClock(l) == call; }));
}

TEST(WholeGame, LosingEveryBallEndsWithTheFinishBoxAndQuit) {
  TempDir dir;
  writeFile("Vintaro.ini", "Vintaro.ini\nball:03reserve\ninterval:100msec\n");
  writeFile("Vintaro.gol", rewardFile(patternPicture()));
  // The paddle stands aside; each ball falls straight from row 14 past row 27
  // in 14 ticks of 100 ms. The state after the end is never printed.
  const ToolRun run = runReplay("key space\nkeys aaaa\nwait 100000\nstate\n");
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.err, "");
  const std::vector<std::string> lines = splitLines(run.out);
  ASSERT_GE(lines.size(), 8u);

  EXPECT_EQ(count(lines, "status 1 \" 初期値(Ball:3, Intvl:100)\""), 1);
  EXPECT_EQ(count(lines, midiLine(0x99, 45, 127)), 3);
  EXPECT_EQ(count(lines, "timer 100"), 3);  // the first board and two new balls
  const auto firstScore = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
    return withoutClock(l).starts_with("status 2");
  });
  ASSERT_NE(firstScore, lines.end());
  EXPECT_EQ(*firstScore, "1400 status 2 \" Score : 0 / Ball : 2\"");
  EXPECT_EQ(*(firstScore - 1), "1400 " + midiLine(0x99, 45, 127));

  const std::vector<std::string> tail(lines.end() - 8, lines.end());
  const std::vector<std::string> expected = {
      "4200 midi 00000090",
      "4200 midi 007f2d99",
      "4200 status 2 \" Score : 0 / Ball : 0\"",
      "4200 msgbox error \"Vintaro finish\" \"ボールを使い切りました、終了です。\"",
      "4200 killtimer",
      "4200 quit 0",
      "4200 midiclose",
      "4200 exit 0",
  };
  EXPECT_EQ(tail, expected);
}

TEST(WholeGame, SteeringClearsAllBlocksAndTheRewardFollows) {
  TempDir dir;
  const Picture plain = patternPicture();
  writeFile("Vintaro.gol", rewardFile(plain));

  std::ostringstream trace;
  HeadlessPlatform p(&trace);
  Steering steering;
  long actions = 0;
  int ticksAfter = 0;
  bool gaveUp = false;
  std::vector<Rgb> shot;
  p.setDriver([&](HeadlessPlatform& hp) {
    const GameState& s = *hp.state();
    if (++actions > 400000) return false;
    if (actions == 1) hp.setRecording(false);
    if (s.finished != 0) {
      if (shot.empty()) shot = screen(hp);
      if (ticksAfter++ < 3) {
        hp.tick();
        return true;
      }
      return false;
    }
    if (s.paused != 0) {
      hp.key(' ');
      return true;
    }
    if (s.blocksLeft == 1) hp.setRecording(true);
    if (aboutToMeetPaddle(s)) {
      const int target = steering.paddleFor(s);
      if (target < 0) {
        gaveUp = true;
        return false;
      }
      for (const char c : keysToMove(s.paddleCol, target)) hp.key(static_cast<unsigned char>(c));
    }
    hp.tick();
    return true;
  });
  auto state = std::make_unique<GameState>();
  EXPECT_EQ(runGame(*state, p), 0);
  ASSERT_FALSE(gaveUp) << formatStateLine(*state);
  const GameState& s = *state;
  ASSERT_EQ(s.finished, 1) << "after " << actions << " actions: " << formatStateLine(s);
  EXPECT_EQ(s.score, 1665);
  EXPECT_EQ(s.blocksLeft, 0);
  EXPECT_EQ(s.ballsLeft, 10);  // the steering never missed
  EXPECT_EQ(s.paintMode, 0);

  // The reward picture in place, and the background all around it.
  ASSERT_EQ(shot.size(), screen(p).size());
  for (int y = 0; y < HeadlessPlatform::kHeight; ++y) {
    for (int x = 0; x < HeadlessPlatform::kWidth; ++x) {
      const bool inside = x >= 136 && x <= 505 && y >= 153 && y <= 432;
      const Rgb want = inside ? pictureAt(plain, x - 136, y - 153) : kGrey;
      ASSERT_EQ(shot[static_cast<std::size_t>(y * HeadlessPlatform::kWidth + x)], want)
          << x << "," << y;
    }
  }

  // From the last hit on: the erasing repaint, the tune, then note-offs only.
  const std::vector<std::string> lines = splitLines(trace.str());
  const auto hit = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
    return withoutClock(l) == "status 2 \" Score : 1665 / Ball : 10\"";
  });
  ASSERT_NE(hit, lines.end());
  const std::string lastNote = midiLine(0x90, s.lastNote, 100);
  std::vector<std::string> want = {lastNote, "invalidate 1", "paint", midiLine(0xC0, 51, 0)};
  const int notes[] = {80, 82, 82, 80, 82, 85, 82, 80};
  for (int i = 0; i < 8; ++i) {
    want.push_back(midiLine(0x90, static_cast<std::uint8_t>(notes[i]), 127));
    want.push_back(i == 7 ? "sleep 1000" : "sleep 650");
    want.push_back(midiLine(0x90, static_cast<std::uint8_t>(notes[i]), 0));
  }
  // The tick due during the tune, then the driver's three.
  for (int i = 0; i < 4; ++i) want.push_back(midiLine(0x90, s.lastNote, 0));
  want.insert(want.end(), {"killtimer", "quit 0", "midiclose"});
  std::vector<std::string> got;
  for (auto l = hit + 1; l != lines.end(); ++l) got.push_back(withoutClock(*l));
  EXPECT_EQ(got, want);

  // The tune holds the clock for 5550 ms; the tick that was due meanwhile
  // comes the moment it ends.
  const long paintAt = std::stol(*(hit + 3));
  const long firstTickAt = std::stol(*(hit + 4 + 24 + 1));
  EXPECT_EQ(firstTickAt - paintAt, 5550);
}

}  // namespace
}  // namespace vintaro::test
