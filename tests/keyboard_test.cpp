// The player's keys: pause, the eight paddle keys and their clamps, and the
// characters that do nothing.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace vintaro::test {
namespace {

using Calls = std::vector<std::string>;
const Calls kPaddleRedraw = {"invalidate 0", "paint"};

TEST(Keyboard, SpaceTogglesPauseWithoutARepaint) {
  Session g;
  g.calls();
  EXPECT_EQ(g.s.paused, 1);
  g.p.key(' ');
  EXPECT_EQ(g.s.paused, 0);
  g.p.key(' ');
  EXPECT_EQ(g.s.paused, 1);
  EXPECT_TRUE(g.calls().empty());
}

TEST(Keyboard, PaddleKeysAreIgnoredWhilePaused) {
  Session g;
  g.calls();
  for (const char c : std::string("as xc,.;:")) {
    if (c == ' ') continue;
    g.p.key(static_cast<unsigned char>(c));
  }
  EXPECT_EQ(g.s.paddleCol, 16);
  EXPECT_EQ(g.s.prevPaddleCol, 16);
  EXPECT_EQ(g.s.paintMode, 2);
  EXPECT_TRUE(g.calls().empty());
}

TEST(Keyboard, EachPaddleKeyMovesByItsStepAndClamps) {
  struct Case {
    char key;
    int from, to;
  };
  const Case cases[] = {
      {'a', 16, 12}, {'s', 16, 12}, {'x', 16, 15}, {'c', 16, 15}, {',', 16, 17}, {'.', 16, 17},
      {';', 16, 20}, {':', 16, 20}, {'s', 2, 0},   {'a', 0, 0},   {'x', 0, 0},   {'c', 1, 0},
      {':', 31, 33}, {';', 32, 33}, {',', 33, 33}, {'.', 33, 33}, {'a', 33, 29}, {';', 0, 4},
  };
  Session g;
  g.play();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.key << " from " << c.from);
    g.s.paddleCol = static_cast<std::int16_t>(c.from);
    g.p.key(static_cast<unsigned char>(c.key));
    EXPECT_EQ(g.s.paddleCol, c.to);
    EXPECT_EQ(g.s.prevPaddleCol, c.from);
    // Redrawn even where the clamp kept it in place.
    EXPECT_EQ(g.calls(), kPaddleRedraw);
  }
}

TEST(Keyboard, OtherCharactersDoNothing) {
  Session g;
  g.play();
  for (const unsigned c :
       std::initializer_list<unsigned>{'A', 'S', 'X', 'C', 'z', '0', '4', '<', '>', '+', '\r', '\n',
                                       '\t', 0x7F, 0xA0, 0x1B, 0}) {
    g.p.key(c);
  }
  EXPECT_EQ(g.s.paddleCol, 16);
  EXPECT_EQ(g.s.paused, 0);
  EXPECT_TRUE(g.calls().empty());
}

TEST(Keyboard, NothingAnswersOnceFinished) {
  Session g;
  g.play();
  g.s.finished = 1;
  for (const char c : std::string(" a;:, ")) g.p.key(static_cast<unsigned char>(c));
  EXPECT_EQ(g.s.paused, 0);
  EXPECT_EQ(g.s.paddleCol, 16);
  EXPECT_TRUE(g.calls().empty());
}

}  // namespace
}  // namespace vintaro::test
