// The settings file: every check with its message, in the order they run.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/window.h"
#include "files/data_files.h"
#include "tests/test_support.h"

namespace vintaro::test {
namespace {

const std::string kLine1Box =
    "msgbox warning \"Vintaro invalid\" \"正当な初期値ファイルを用意するか、既定値を適用するか？\"";

std::string invalidBox(int number) {
  return "msgbox error \"Vintaro invalid\" \"初期値ファイルの内容が不当です！#" +
         std::to_string(number) + "\"";
}

int openFiles() {
  return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                        std::filesystem::directory_iterator()));
}

struct Outcome {
  bool goesOn;
  std::vector<std::string> calls;
  int balls, interval;
};

// loadSettings on a file holding `bytes` (no file for a null).
Outcome load(const char* bytes, std::size_t size) {
  TempDir dir;
  if (bytes != nullptr) writeFile("Vintaro.ini", std::string(bytes, size));
  std::ostringstream trace;
  HeadlessPlatform p(&trace);
  auto s = std::make_unique<GameState>();
  const int filesBefore = openFiles();
  const bool goesOn = loadSettings(*s, p);
  EXPECT_EQ(openFiles(), filesBefore) << "the file was left open";
  std::vector<std::string> calls = splitLines(trace.str());
  for (std::string& c : calls) c = withoutClock(c);
  return {goesOn, calls, s->ballsLeft, s->intervalMs};
}

const std::string pad38(38, '-');  // "Vintaro.ini" and these make 49 characters

struct Valid {
  std::string file;
  int balls, interval;
};

TEST(Settings, ValidFilesSetBallsAndInterval) {
  const Valid cases[] = {
      {"Vintaro.ini\nball:10reserve\ninterval:220msec\n", 10, 220},
      {"Vintaro.ini\nball:03reserve\ninterval:050msec\n", 3, 50},
      {"Vintaro.ini\nball:99reserve\ninterval:999msec\n", 99, 999},
      {"Vintaro.ini\nball:01reserve\ninterval:001msec\n", 1, 1},
      // Text after the tested characters, and a fourth line, change nothing.
      {"Vintaro.ini settings\nball:05reserve balls\ninterval:220msec!\nball:07reserve\n", 5, 220},
      {"Vintaro.ini\r\nball:07reserve\r\ninterval:330msec\r\n", 7, 330},
      {"Vintaro.ini\nball:07reserve\ninterval:330msec", 7, 330},
      {"Vintaro.ini\r\nball:07reserve\r\ninterval:330msec", 7, 330},
      // 48 characters and the line break: still read as one line.
      {"Vintaro.ini" + std::string(37, '-') + "\nball:02reserve\ninterval:100msec\n", 2, 100},
      {"Vintaro.ini" + std::string(37, '-') + "\r\nball:02reserve\r\ninterval:100msec\r\n", 2, 100},
      // After 49 characters the read stops; the rest of line 1 is line 2.
      {"Vintaro.ini" + pad38 + "ball:04reserve\ninterval:100msec\n", 4, 100},
  };
  for (const Valid& c : cases) {
    SCOPED_TRACE(c.file);
    const Outcome o = load(c.file.data(), c.file.size());
    EXPECT_TRUE(o.goesOn);
    EXPECT_TRUE(o.calls.empty());
    EXPECT_EQ(o.balls, c.balls);
    EXPECT_EQ(o.interval, c.interval);
  }
}

TEST(Settings, MissingFileWarnsAndKeepsTheDefaults) {
  const Outcome o = load(nullptr, 0);
  EXPECT_TRUE(o.goesOn);
  EXPECT_EQ(o.calls, std::vector<std::string>{
                         "msgbox warning \"Vintaro warning\" "
                         "\"初期値ファイルが見当たりませんので、\\n既定値を適用します。\""});
  EXPECT_EQ(o.balls, 10);
  EXPECT_EQ(o.interval, 220);
}

struct Invalid {
  std::string file;
  std::string box;
};

TEST(Settings, EachCheckFailsWithItsOwnMessage) {
  const std::string line1 = "Vintaro.ini\n";
  const std::string line2 = "ball:10reserve\n";
  const Invalid cases[] = {
      {"", kLine1Box},
      {"vintaro.ini\nball:10reserve\ninterval:220msec\n", kLine1Box},
      {"Vintaro.in\nball:10reserve\ninterval:220msec\n", kLine1Box},
      {" Vintaro.ini\nball:10reserve\ninterval:220msec\n", kLine1Box},
      {"\xEF\xBB\xBFVintaro.ini\nball:10reserve\ninterval:220msec\n", kLine1Box},
      // A line 1 alone stays in the buffer as line 2.
      {line1, invalidBox(1)},
      {"Vintaro.ini", invalidBox(1)},
      {line1 + "Ball:10reserve\ninterval:220msec\n", invalidBox(1)},
      {line1 + " ball:10reserve\ninterval:220msec\n", invalidBox(1)},
      // A lone CR breaks no line.
      {"Vintaro.ini\rball:10reserve\ninterval:220msec\n", invalidBox(1)},
      {"Vintaro.ini" + pad38 + "\nball:10reserve\ninterval:220msec\n", invalidBox(1)},
      {"Vintaro.ini" + pad38 + "xx\nball:10reserve\ninterval:220msec\n", invalidBox(1)},
      // "reserve" is checked before the digits.
      {line1 + "ball:5reserve\ninterval:220msec\n", invalidBox(2)},
      {line1 + "ball:10Reserve\ninterval:220msec\n", invalidBox(2)},
      {line1 + "ball:10\ninterval:220msec\n", invalidBox(2)},
      {line1 + "ball:10\rreserve\ninterval:220msec\n", invalidBox(2)},
      // The character after a lone CR is read like any other.
      {line1 + "ball:1\r0reserve\ninterval:220msec\n", invalidBox(2)},
      {line1 + "ball:1xreserve\ninterval:220msec\n", invalidBox(3)},
      {line1 + "ball:x1reserve\ninterval:220msec\n", invalidBox(3)},
      {line1 + "ball: 1reserve\ninterval:220msec\n", invalidBox(3)},
      // The ball count is checked before line 3 is read.
      {line1 + "ball:00reserve\ninterval:000msec\n", invalidBox(7)},
      {line1 + "ball:00reserve\n", invalidBox(7)},
      {line1 + line2, invalidBox(4)},
      {line1 + "ball:10reserve", invalidBox(4)},
      {line1 + line2 + "Interval:220msec\n", invalidBox(4)},
      {line1 + "ball:10reserve" + std::string(35, '-') + "\ninterval:220msec\n", invalidBox(4)},
      {line1 + line2 + "interval:80msec\n", invalidBox(5)},
      {line1 + line2 + "interval:220MSEC\n", invalidBox(5)},
      {line1 + line2 + "interval:220mse", invalidBox(5)},
      {line1 + line2 + "interval:2a0msec\n", invalidBox(6)},
      {line1 + line2 + "interval:a20msec\n", invalidBox(6)},
      {line1 + line2 + "interval:22amsec\n", invalidBox(6)},
      {line1 + line2 + "interval:-20msec\n", invalidBox(6)},
      {line1 + line2 + "interval:000msec\n", invalidBox(8)},
  };
  for (const Invalid& c : cases) {
    SCOPED_TRACE(c.file);
    const Outcome o = load(c.file.data(), c.file.size());
    EXPECT_FALSE(o.goesOn);
    EXPECT_EQ(o.calls, std::vector<std::string>{c.box});
  }
}

TEST(Settings, AnInvalidFileEndsStartUpBeforeThePictureIsLookedFor) {
  TempDir dir;
  writeFile("Vintaro.ini", "Vintaro.ini\nball:10reserve\ninterval:000msec\n");
  std::ostringstream trace;
  HeadlessPlatform p(&trace);
  auto s = std::make_unique<GameState>();
  EXPECT_EQ(runGame(*s, p), 0);
  const std::vector<std::string> want = {"0 status 0 \" ピルモ(62歳)作のブロック崩し\"",
                                         "0 " + invalidBox(8)};
  EXPECT_EQ(splitLines(trace.str()), want);
}

}  // namespace
}  // namespace vintaro::test
