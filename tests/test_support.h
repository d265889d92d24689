// Shared helpers of the test suite: a scratch working directory, the two data
// files, a started game on the headless platform, and the record's invariants.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/platform.h"
#include "game/game_state.h"
#include "platform/headless/headless_platform.h"

namespace vintaro::test {

// A fresh directory that is the working directory while the object lives.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

void writeFile(const std::string& name, const std::string& bytes);
std::string readFile(const std::string& name);

// Pictures are 280 rows of 370 RGB pixels, top row first.
using Picture = std::vector<std::uint8_t>;
// A picture whose every pixel differs from its neighbours and from the
// background.
Picture patternPicture();
// The stored form: 10-row bands upside down, the first six 60-column bands
// turned left to right.
Picture storedForm(const Picture& plain);
// A 24-bit bottom-up bitmap file of `picture` (as it is to be seen), with a
// proper 54-byte header or a zero one.
std::string bitmapFile(const Picture& picture, bool zeroHeader = false);
// "Vintaro.gol" bytes that load as `plain`.
std::string rewardFile(const Picture& plain);
Rgb pictureAt(const Picture& picture, int x, int y);

// A platform that answers every call and records nothing.
class SilentPlatform final : public Platform {
 public:
  bool registerWindowClass() override { return true; }
  Handle createMainWindow(GameState&) override { return this; }
  Handle createStatusBar(Handle, const char*) override { return this; }
  void showWindow(Handle) override {}
  Handle openMidi() override { return this; }
  void closeMidi(Handle) override {}
  int runMessageLoop(GameState&) override { return 0; }
  bool beginPaint(Handle) override { return false; }
  void setPixel(int, int, Rgb) override {}
  void endPaint(Handle) override {}
  void invalidate(Handle, bool) override {}
  void setTimer(Handle, int) override {}
  void killTimer(Handle) override {}
  void messageBox(Handle, const char*, const char*, BoxIcon) override {}
  void setStatusText(Handle, int, const char*) override {}
  void midiShortMsg(Handle, std::uint32_t) override {}
  void sleep(int) override {}
  void postQuit(int) override {}
};

// The game brought up as start-up does it (window, first paint, MIDI output,
// start program), minus the files and the message loop: the test drives it
// through the platform's user actions.
struct Session {
  struct Options {
    std::int16_t balls = 10;
    std::int16_t intervalMs = 220;
    bool record = true;
  };
  Session() : Session(Options{}) {}
  explicit Session(Options options);

  // Trace lines since the last call, each still led by the clock.
  std::vector<std::string> lines();
  // The same without the clock.
  std::vector<std::string> calls();
  // Starts play (the first space) and forgets the trace so far.
  void play();
  // Puts the ball in a cell with a direction, as a flight would leave it.
  void placeBall(int col, int row, int stepX, int stepY, int spin);

  std::unique_ptr<GameState> state = std::make_unique<GameState>();
  GameState& s = *state;
  std::ostringstream trace;
  HeadlessPlatform p;
  Handle window = nullptr;

 private:
  std::size_t read_ = 0;
};

std::vector<std::string> splitLines(const std::string& text);
std::string withoutClock(const std::string& line);

// The midi line of a short message.
std::string midiLine(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

// The record's invariants between messages once the board is up; the tick
// that loses the last ball may leave the ball in row 28.
::testing::AssertionResult invariantsHold(const GameState& s);

// vintaro-replay run on `script` in the working directory.
struct ToolRun {
  std::string out, err;
  int code = -1;
};
ToolRun runReplay(const std::string& script);

// Every pixel of the client area.
std::vector<Rgb> screen(const HeadlessPlatform& p);

inline constexpr Rgb kGrey{64, 64, 64};

// What pixel (x, y) of the client area shows once the board for `s` is drawn:
// frame, blocks (all of them for the first board), paddle, ball, and the
// background everywhere else.
Rgb boardPixel(const GameState& s, int x, int y, bool allBlocks = false);
// Where the screen differs from boardPixel, or nothing. The paddle strip's
// lines may be skipped: a ball erased in row 27 takes part of the strip.
::testing::AssertionResult screenShowsBoard(const HeadlessPlatform& p, const GameState& s,
                                            bool skipPaddleLines = false);

}  // namespace vintaro::test
