// Long random play: the record's invariants hold after every message, and the
// screen always shows the board the record describes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "sound/cues.h"
#include "tests/test_support.h"

namespace vintaro::test {
namespace {

// Checks the record as each paint begins, that is between a key or a tick
// and the paint it asked for.
class CheckingPlatform final : public HeadlessPlatform {
 public:
  CheckingPlatform() : HeadlessPlatform(nullptr) {}
  bool beginPaint(Handle window) override {
    ++paints;
    if (failure.empty() && state() != nullptr) {
      const ::testing::AssertionResult ok = invariantsHold(*state());
      if (!ok) failure = ok.message();
    }
    return HeadlessPlatform::beginPaint(window);
  }
  std::string failure;
  long paints = 0;
};

struct Totals {
  long actions = 0, paints = 0, hits = 0, lostGames = 0;
};

void playRandomGame(unsigned seed, Totals& totals) {
  std::mt19937 rng(seed);
  const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };

  CheckingPlatform p;
  auto state = std::make_unique<GameState>();
  GameState& s = *state;
  s.mainWindow = p.createMainWindow(s);
  s.ballsLeft = static_cast<std::int16_t>(1 + pick(12));
  s.intervalMs = static_cast<std::int16_t>(pick(4) == 0 ? 1 + pick(20) : 1 + pick(999));
  p.showWindow(s.mainWindow);
  s.midiOut = p.openMidi();
  startProgram(s, p);
  p.key(' ');

  const std::string paddleKeys = "asxc,.;:";
  const std::string otherKeys = "AZz09\r+ ";
  for (int action = 0; action < 2000 && !p.quitTaken(); ++action) {
    const int r = pick(1000);
    // Most of the time the player follows a falling ball, so that games
    // last and blocks are hit.
    if (s.stepY == 1 && s.ballRow >= 18 && pick(10) < 7) {
      const int want = s.ballCol - pick(4);
      p.key(static_cast<unsigned char>(want < s.paddleCol ? 'x' : '.'));
    } else if (r < 500) {
      p.tick();
    } else if (r < 550) {
      p.wait(pick(400));
    } else if (r < 553) {
      p.expose();
    } else if (r < 900) {
      p.key(static_cast<unsigned char>(paddleKeys[static_cast<std::size_t>(pick(8))]));
    } else {
      p.key(static_cast<unsigned char>(otherKeys[static_cast<std::size_t>(pick(8))]));
    }
    ++totals.actions;
    ASSERT_EQ(p.failure, "") << "seed " << seed << " action " << action;
    ASSERT_TRUE(invariantsHold(s)) << "seed " << seed << " action " << action;
    if (action % 1000 == 999 && s.ballsLeft > 0) {
      ASSERT_TRUE(screenShowsBoard(p, s, true)) << "seed " << seed << " action " << action;
    }
  }
  totals.paints += p.paints;
  totals.hits += 333 - s.blocksLeft;
  if (p.quitTaken()) {
    ++totals.lostGames;
    EXPECT_EQ(s.ballsLeft, 0);
  }
}

TEST(RandomPlay, InvariantsHoldAfterEveryMessage) {
  Totals totals;
  for (unsigned seed = 1; seed <= 30; ++seed) {
    playRandomGame(seed, totals);
    if (HasFatalFailure()) return;
  }
  // The play must reach what it claims to test.
  EXPECT_GT(totals.hits, 500);
  EXPECT_GT(totals.lostGames, 5);
  EXPECT_GT(totals.paints, totals.actions / 2);
}

}  // namespace
}  // namespace vintaro::test
