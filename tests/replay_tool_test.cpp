// vintaro-replay: its script, its trace, its snapshots, its exit codes, and
// the virtual clock of the headless platform it runs on.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/common/recorder.h"
#include "tests/test_support.h"
#include "tools/replay/png_file.h"
#include "tools/replay/script.h"

namespace vintaro::test {
namespace {

using Calls = std::vector<std::string>;
using Kind = replay::Command::Kind;

TEST(ReplayTool, ReproducesTheExampleTrace) {
  TempDir dir;
  writeFile("Vintaro.gol", rewardFile(patternPicture()));
  const ToolRun run = runReplay("key space\ntick\n");
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "0 status 0 \" ピルモ(62歳)作のブロック崩し\"\n"
            "0 msgbox warning \"Vintaro warning\" "
            "\"初期値ファイルが見当たりませんので、\\n既定値を適用します。\"\n"
            "0 show\n"
            "0 paint\n"
            "0 status 1 \" 初期値(Ball:10, Intvl:220)\"\n"
            "0 timer 220\n"
            "0 midiopen\n"
            "0 midi 00000dc0\n"
            "220 midi 00000090\n"
            "220 invalidate 0\n"
            "220 paint\n"
            "220 killtimer\n"
            "220 quit 0\n"
            "220 midiclose\n"
            "220 exit 0\n");
}

TEST(ReplayTool, AnEarlyEndShowsOnlyTheBarTheBoxesAndTheExit) {
  TempDir dir;
  writeFile("Vintaro.ini", "Vintaro.ini\nball:10reserve\n");
  const ToolRun run = runReplay("key space\n");
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.out,
            "0 status 0 \" ピルモ(62歳)作のブロック崩し\"\n"
            "0 msgbox error \"Vintaro invalid\" \"初期値ファイルの内容が不当です！#4\"\n"
            "0 exit 0\n");
}

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

// Only a regular file is a data file: a directory, a pipe with no writer or a
// device is a missing one, and none holds start-up up (these tests have a
// time limit).
TEST(DataFileKinds, OnlyARegularFileIsOne) {
  const auto directory = [](const char* name) { std::filesystem::create_directory(name); };
  const auto pipe = [](const char* name) { mkfifo(name, 0600); };
  const auto device = [](const char* name) { std::filesystem::create_symlink("/dev/zero", name); };
  const std::function<void(const char*)> kinds[][2] = {
      {directory, pipe}, {pipe, device}, {device, directory}};
  for (const auto& [ini, gol] : kinds) {
    TempDir dir;
    ini("Vintaro.ini");
    gol("Vintaro.gol");
    const ToolRun run = runReplay("key space\n");
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out,
              "0 status 0 \" ピルモ(62歳)作のブロック崩し\"\n"
              "0 msgbox warning \"Vintaro warning\" "
              "\"初期値ファイルが見当たりませんので、\\n既定値を適用します。\"\n"
              "0 msgbox error \"Vintaro invalid\" \"ファイル【Vintaro.gol】が見当たりません。！\"\n"
              "0 exit 0\n");
  }
}

TEST(ReplayTool, AMalformedLineStopsTheRunWithItsNumber) {
  TempDir dir;
  writeFile("Vintaro.gol", rewardFile(patternPicture()));
  const ToolRun run = runReplay("key space\n\n# fine so far\nwait ten\ntick\n");
  EXPECT_EQ(run.code, 2);
  EXPECT_NE(run.err.find("line 4"), std::string::npos) << run.err;
  EXPECT_EQ(run.out.find("220 "), std::string::npos) << "ran past the bad line";
  EXPECT_EQ(run.out.find("exit"), std::string::npos);

  for (const char* bad : {"fly\n", "key\n", "key ab\n", "tick -1\n", "wait\n", "state now\n"}) {
    const ToolRun r = runReplay(std::string("tick\n") + bad);
    EXPECT_EQ(r.code, 2) << bad;
    EXPECT_NE(r.err.find("line 2"), std::string::npos) << bad << r.err;
  }
}

TEST(ReplayScript, ParsesEveryCommand) {
  struct Case {
    const char* line;
    Kind kind;
    std::int64_t number;
    std::string text;
  };
  const Case cases[] = {
      {"", Kind::Skip, 0, ""},
      {" \t ", Kind::Skip, 0, ""},
      {"# wait 10", Kind::Skip, 0, ""},
      {"   # indented", Kind::Skip, 0, ""},
      {"wait 250", Kind::Wait, 250, ""},
      {"\twait\t0 ", Kind::Wait, 0, ""},
      {"tick", Kind::Tick, 1, ""},
      {"tick 12", Kind::Tick, 12, ""},
      {"key a", Kind::Keys, 0, "a"},
      {"key #", Kind::Keys, 0, "#"},
      {"key space", Kind::Keys, 0, " "},
      {"key enter", Kind::Keys, 0, "\r"},
      {"keys a;:x", Kind::Keys, 0, "a;:x"},
      {"expose", Kind::Expose, 0, ""},
      {"close", Kind::Close, 0, ""},
      {"state", Kind::State, 0, ""},
      {"snapshot out/board.png", Kind::Snapshot, 0, "out/board.png"},
      {"key s\r", Kind::Keys, 0, "s"},
      {"snapshot shot.png \r\r", Kind::Snapshot, 0, "shot.png"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    replay::Command command;
    std::string error;
    ASSERT_TRUE(replay::parseLine(c.line, command, error)) << error;
    EXPECT_EQ(command.kind, c.kind);
    if (c.kind == Kind::Wait || c.kind == Kind::Tick) {
      EXPECT_EQ(command.number, c.number);
    }
    EXPECT_EQ(command.text, c.text);
  }
  for (const char* bad :
       {"Wait 10", "wait", "wait 1 2", "wait -5", "wait 1.5", "wait x", "tick 0x3", "tick 1 2",
        "key", "key ab", "key \x01", "key \xC3\xA9", "keys", "keys a b", "expose all", "close now",
        "snapshot", "snapshot a b", "jump"}) {
    replay::Command command;
    std::string error;
    EXPECT_FALSE(replay::parseLine(bad, command, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
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

TEST(VirtualClock, WaitRunsEveryExpiryInOrderAndEndsOnTime) {
  Session g;
  g.play();
  g.p.wait(500);
  EXPECT_EQ(g.p.now(), 500);
  Calls ticks;
  for (const std::string& l : g.lines()) {
    if (withoutClock(l).starts_with("midi")) ticks.push_back(l);
  }
  EXPECT_EQ(ticks, (Calls{"220 midi 00000090", "440 midi 00000090"}));
  g.p.wait(160);  // the expiry at exactly 660 is included
  EXPECT_EQ(g.lines().front(), "660 midi 00000090");
  EXPECT_EQ(g.p.now(), 660);
  g.p.wait(0);
  EXPECT_TRUE(g.lines().empty());
  g.p.tick();
  EXPECT_EQ(g.p.now(), 880);
}

TEST(VirtualClock, ASleepLeavesOneTickPendingForAfterTheMessage) {
  Session g;
  g.calls();
  g.p.sleep(1000);  // passes the expiries at 220..880
  EXPECT_EQ(g.p.now(), 1000);
  g.p.key('z');
  EXPECT_EQ(g.lines(), (Calls{"0 sleep 1000", "1000 midi 00000090"}));
  g.p.tick();
  EXPECT_EQ(g.p.now(), 1100);
  g.p.sleep(220);  // ends exactly on the expiry at 1320
  g.p.key('z');
  g.p.tick();
  EXPECT_EQ(g.lines(), (Calls{"1100 midi 00000090", "1100 sleep 220", "1320 midi 00000090",
                              "1540 midi 00000090"}));
}

TEST(VirtualClock, TickDoesNothingWithoutATimer) {
  Session g;
  g.p.killTimer(g.window);
  g.lines();
  g.p.tick();
  g.p.wait(1000);
  EXPECT_EQ(g.p.now(), 1000);
  g.p.tick();
  EXPECT_EQ(g.p.now(), 1000);
  EXPECT_TRUE(g.lines().empty());
}

}  // namespace
}  // namespace vintaro::test
