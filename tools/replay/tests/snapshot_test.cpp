// vintaro-replay's snapshots: the client area as the game left it, a game
// recorded by the pump replayed to the same board, and two screens compared
// with pictures checked by eye when they were made (golden/), so that a
// change to the tables or the painter that the other tests would follow
// along is seen.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "files/data_files.h"
#include "platform/common/recorder.h"
#include "tests/test_support.h"
#include "tools/png/png_file.h"

namespace vintaro::test {
namespace {

TEST(ReplayTool, SnapshotsAreTheClientArea) {
  TempDir dir;
  writeFile("Vintaro.gol", rewardFile(patternPicture()));
  const ToolRun run =
      runReplay("  key space\t\n# a comment\n\ntick 3\nkeys ;;\nexpose\nsnapshot shot.png\n");
  ASSERT_EQ(run.code, 0) << run.err;
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
  std::string error;
  ASSERT_TRUE(readPng("shot.png", width, height, rgb, error)) << error;
  EXPECT_EQ(width, 639);
  EXPECT_EQ(height, 619);

  Session g;
  g.play();
  for (int i = 0; i < 3; ++i) g.p.tick();
  g.p.key(';');
  g.p.key(';');
  g.p.expose();
  EXPECT_TRUE(rgb == g.p.pixels());
  EXPECT_TRUE(screenShowsBoard(g.p, g.s));
}

// Whether the client area `rgb` is golden/NAME. When it is not, the screen is
// left in the temporary folder as seen-NAME to be looked at; it is copied
// over the golden picture only for a change meant to be seen.
::testing::AssertionResult looksLike(const std::vector<std::uint8_t>& rgb,
                                     const std::string& name) {
  constexpr int kWidth = HeadlessPlatform::kWidth;
  int width = 0, height = 0;
  std::vector<std::uint8_t> want;
  std::string error;
  const bool read =
      readPng(std::string(VINTARO_GOLDEN_DIR) + "/" + name, width, height, want, error);
  if (read && width == kWidth && height == HeadlessPlatform::kHeight && rgb == want) {
    return ::testing::AssertionSuccess();
  }
  const std::string seen = (std::filesystem::temp_directory_path() / ("seen-" + name)).string();
  std::string ignored;
  writePng(seen, kWidth, HeadlessPlatform::kHeight, rgb.data(), ignored);
  auto failure = ::testing::AssertionFailure()
                 << (read ? name + " differs" : error) << "; the screen is in " << seen;
  const auto differ = std::mismatch(rgb.begin(), rgb.end(), want.begin(), want.end());
  if (read && differ.first != rgb.end()) {
    const auto pixel = (differ.first - rgb.begin()) / 3;
    failure << ", first different at " << pixel % kWidth << "," << pixel / kWidth;
  }
  return failure;
}

TEST(Golden, TheFirstBoard) {
  TempDir dir;
  writeFile("Vintaro.gol", rewardFile(patternPicture()));
  const ToolRun run = runReplay("snapshot board.png\n");
  ASSERT_EQ(run.code, 0) << run.err;
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
  std::string error;
  ASSERT_TRUE(readPng("board.png", width, height, rgb, error)) << error;
  EXPECT_TRUE(looksLike(rgb, "first-board.png"));
}

// The pattern picture loaded from its file and shown by the last hit: red
// grows to the right and green downwards, each wrapping once.
TEST(Golden, TheRewardPicture) {
  TempDir dir;
  writeFile("Vintaro.gol", rewardFile(patternPicture()));
  Session g;
  ASSERT_TRUE(loadPicture(g.s, g.p));
  g.play();
  g.s.blockGrid.fill(0);
  g.s.blockGrid[8 * 37 + 18] = 1;
  g.s.blocksLeft = 1;
  g.placeBall(18, 13, 0, -1, 0);
  g.p.tick();
  ASSERT_EQ(g.s.finished, 1);
  EXPECT_TRUE(looksLike(g.p.pixels(), "reward.png"));
}

// A game written down by the pump as it is played, waits, keys, uncovering
// and close, replays in the tool to the same record and the same board.
TEST(ReplayTool, ARecordingReplaysToTheSameStateAndBoard) {
  TempDir dir;
  writeFile("Vintaro.gol", rewardFile(patternPicture()));
  writeFile("Vintaro.ini", "Vintaro.ini\nball:09reserve\ninterval:040msec\n");
  Recorder recorder;
  recorder.keep("test");
  HeadlessPlatform p;
  p.setRecorder(&recorder);
  const auto keys = [&p](const char* typed) {
    for (; *typed != '\0'; ++typed) p.key(static_cast<unsigned char>(*typed));
  };
  const std::vector<std::function<void()>> actions = {
      [&] { p.key(' '); },  [&] { p.wait(1234); }, [&] { keys("aa"); }, [&] { p.expose(); },
      [&] { p.wait(777); }, [&] { keys(";q"); },   [&] { p.tick(); },   [&] { p.wait(2500); },
      [&] { keys(" x "); }, [&] { p.wait(95); }};
  std::size_t next = 0;
  p.setDriver([&](HeadlessPlatform&) {
    if (next == actions.size()) return false;
    actions[next++]();
    return true;
  });
  auto state = std::make_unique<GameState>();
  ASSERT_EQ(runGame(*state, p), 0);
  recorder.finish(*state);

  std::string script = recorder.text();
  EXPECT_NE(script.find("\nexpose\n"), std::string::npos) << script;
  const std::size_t close = script.find("\nclose\n");
  ASSERT_NE(close, std::string::npos) << script;
  script.replace(close + 1, 5, "state\nsnapshot shot.png");
  const ToolRun run = runReplay(script);
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find(" state " + formatStateLine(*state) + "\n"), std::string::npos) << run.out;
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
  std::string error;
  ASSERT_TRUE(readPng("shot.png", width, height, rgb, error)) << error;
  EXPECT_TRUE(rgb == p.pixels());
}

}  // namespace
}  // namespace vintaro::test
