// vintaro-replay: its trace, its exit codes, and the virtual clock of the
// headless platform it runs on. Its script parser and its snapshots are
// tested with the tool (tools/replay/tests).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace vintaro::test {
namespace {

using Calls = std::vector<std::string>;

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

#ifdef __SANITIZE_ADDRESS__
constexpr const char* kMemoryLimit = "";  // the sanitizer's address space is vast
#else
constexpr const char* kMemoryLimit = "ulimit -v 262144; ";
#endif

// A script it cannot read is no script: a message and code 2, without
// waiting on a pipe, and in a bounded memory whatever the input.
TEST(ReplayTool, AScriptItCannotReadEndsItWithCode2) {
  TempDir dir;
  writeFile("Vintaro.gol", rewardFile(patternPicture()));
  std::filesystem::create_directory("folder");
  ASSERT_EQ(mkfifo("fifo", 0600), 0);
  for (const char* script : {"folder", "fifo", "/dev/zero", "missing", "< folder", "< /dev/zero"}) {
    const std::string command = std::string(kMemoryLimit) + "'" + VINTARO_REPLAY_EXE + "' " +
                                script + " > out.txt 2> err.txt";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << script << ": " << status;
    EXPECT_NE(readFile("err.txt"), "") << script;
    EXPECT_EQ(readFile("out.txt").find("exit"), std::string::npos) << script;
  }
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
