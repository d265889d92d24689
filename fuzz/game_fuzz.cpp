// The whole game played from arbitrary bytes: keys, ticks, waits, exposes
// and a close, against the core on the headless platform, with the record's
// invariants checked after every message.
//
// Bytes 0..2 give the settings file's values; then each byte is an action:
//   00-7F  that character typed
//   80-BF  1 to 64 ticks
//   C0-EF  1 to 12 ticks, before each the paddle moved to meet a falling
//          ball at its cell 0..3 (the low two bits): games last, and reach
//          the blocks
//   F0-FD  a wait of 0 to 390 ms
//   FE     the window closed
//   FF     the window uncovered; a run of them counts once, the board
//          being already drawn for the second
// A run stops after 12,000 ticks, enough to clear the board, so that every
// input stays quick to try. Painting is the most of a run's work: pixels are
// checked to fall in the client area, and kept nowhere.
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

#include "fuzz/fuzz_support.h"
#include "platform/headless/headless_platform.h"
#include "sound/cues.h"

namespace vintaro::fuzz {

namespace {

// Checks the record each time a message has been handled: as the next tick
// begins (its note-off is its first act), as a paint begins, and after each
// action.
class CheckedPlatform final : public HeadlessPlatform {
 public:
  void start(const GameState& s) {
    blocksLeft_ = s.blocksLeft;
    ballsLeft_ = s.ballsLeft;
    grid_ = s.blockGrid;
  }

  void midiShortMsg(Handle midi, std::uint32_t message) override {
    if (message == shortMessage(kNoteOn, state()->lastNote, 0)) check(true);
    HeadlessPlatform::midiShortMsg(midi, message);
  }

  // The checks read the record, not the picture: no pixel buffer to fill.
  void setPixel(int x, int y, Rgb) override {
    if (x < 0 || x >= clientWidth || y < 0 || y >= clientHeight) {
      require(false, "a pixel in the client area");
    }
  }

  bool beginPaint(Handle window) override {
    check(false);
    return HeadlessPlatform::beginPaint(window);
  }

  // `tickBegins`: the messages up to the next check include a tick.
  void check(bool tickBegins) {
    const GameState& s = *state();
    // Most messages leave the grid as it was: only a changed one is walked.
    if (!counted_ || s.blockGrid != grid_) {
      int blocks = 0, cleared = 0;
      bool ownValues = true, staysCleared = true;
      for (int b = 0; b < kBlockRows; ++b) {
        for (int k = 0; k < kColumns; ++k) {
          const std::size_t at = static_cast<std::size_t>(b * kColumns + k);
          const int v = s.blockGrid[at];
          ownValues = ownValues && (v == 0 || v == 9 - b);
          staysCleared = staysCleared && (v == 0 || grid_[at] != 0);
          blocks += v != 0;
          cleared += v == 0 ? 9 - b : 0;
        }
      }
      require(ownValues, "a block holds its row's value");
      require(staysCleared, "a cleared block stays cleared");
      blocks_ = blocks;
      cleared_ = cleared;
      counted_ = true;
    }
    require(s.blocksLeft == blocks_, "blocksLeft counts the blocks");
    require(s.score == cleared_, "the score is the sum of the cleared blocks");
    require(s.blocksLeft <= blocksLeft_, "blocks only go down");
    require(s.ballsLeft >= 0 && s.ballsLeft <= ballsLeft_, "balls only go down");
    require(ballsLeft_ - s.ballsLeft <= (tickSinceCheck_ ? 1 : 0),
            "at most one ball lost, and only by a tick");
    const int lastRow = s.ballsLeft == 0 ? kRows : kRows - 1;
    require(s.ballCol >= 0 && s.ballCol < kColumns && s.ballRow >= 0 && s.ballRow <= lastRow,
            "the ball in the field");
    require(s.paddleCol >= 0 && s.paddleCol <= kMaxPaddleCol, "the paddle in range");
    require(s.stepY == 1 || s.stepY == -1, "stepY is 1 or -1");
    require(s.spin >= -3 && s.spin <= 3 && s.stepX >= -2 && s.stepX <= 2, "spin and stepX");
    require(s.finished == 0 || s.blocksLeft == 0, "finished only with every block gone");
    require(s.lastNote == 0 || (s.lastNote >= 71 && s.lastNote <= 79), "a block's note");
    blocksLeft_ = s.blocksLeft;
    ballsLeft_ = s.ballsLeft;
    grid_ = s.blockGrid;
    tickSinceCheck_ = tickBegins;
    ticks_ += tickBegins ? 1 : 0;
  }

  long ticks() const { return ticks_; }

 private:
  int blocksLeft_ = 0, ballsLeft_ = 0;
  std::array<std::uint8_t, kBlockCount> grid_{};
  int blocks_ = 0, cleared_ = 0;
  bool counted_ = false;
  bool tickSinceCheck_ = false;
  long ticks_ = 0;
};

// Moves the paddle so that a falling ball about to reach the paddle row
// meets it at cell `offset`.
void meetBall(CheckedPlatform& p, const GameState& s, int offset) {
  if (s.stepY != 1 || s.ballRow != kPaddleRow - 1) return;
  const int target = std::clamp(s.ballCol + s.stepX - offset, 0, kMaxPaddleCol);
  // At most 12 keys cross the field; a paused or finished game takes none.
  for (int n = 0; n < 12 && s.paddleCol != target; ++n) {
    const int d = target - s.paddleCol;
    p.key(d >= 4 ? ';' : d <= -4 ? 'a' : d > 0 ? '.' : 'x');
  }
}

}  // namespace

}  // namespace vintaro::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vintaro;
  if (size < 3) return 0;
  // Fresh for every input, but copied from ones made once: a platform's and a
  // record's memory, new each time, would be most of a short input's work.
  static const fuzz::CheckedPlatform freshPlatform;
  static const auto freshState = std::make_unique<const GameState>();
  static fuzz::CheckedPlatform p;
  static const auto state = std::make_unique<GameState>();
  p = freshPlatform;
  GameState& s = *state;
  s = *freshState;
  // Start-up as the game does it, with the files' values.
  s.mainWindow = p.createMainWindow(s);
  s.ballsLeft = static_cast<std::int16_t>(1 + data[0] % 99);
  s.intervalMs = static_cast<std::int16_t>(1 + (data[1] | data[2] << 8) % 999);
  p.start(s);
  p.showWindow(s.mainWindow);
  s.midiOut = p.openMidi();
  startProgram(s, p);

  for (std::size_t i = 3; i < size && !p.quitTaken() && p.ticks() < 12'000; ++i) {
    const std::uint8_t b = data[i];
    if (b < 0x80) {
      p.key(b);
    } else if (b < 0xC0) {
      for (int n = 0; n <= (b & 0x3F); ++n) p.tick();
    } else if (b < 0xF0) {
      for (int n = 0; n <= (b - 0xC0) >> 2; ++n) {
        fuzz::meetBall(p, s, b & 3);
        p.tick();
      }
    } else if (b < 0xFE) {
      p.wait((b - 0xF0) * 30);
    } else if (b == 0xFE) {
      p.close();
    } else if (data[i - 1] != 0xFF || i == 3) {
      p.expose();
    }
    p.check(false);
  }
  return 0;
}
