// A platform with no screen and no speaker: a virtual clock, a pixel buffer
// for the client area, the Win32 message order of the shared pump, and a
// trace of every call the game makes, one line each.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/geometry.h"
#include "app/platform.h"
#include "game/game_state.h"
#include "platform/common/message_pump.h"
#include "platform/common/state_line.h"

namespace vintaro {

class HeadlessPlatform : public MessagePump {
 public:
  static constexpr int kWidth = kClientAreaWidth;
  static constexpr int kHeight = kClientAreaHeight;

  // Called each time the game is idle inside the message loop; does one user
  // action through the methods below and answers false when it has none left,
  // after which the window is closed.
  using Driver = std::function<bool(HeadlessPlatform&)>;

  // `trace` may be null: nothing is recorded then.
  explicit HeadlessPlatform(std::ostream* trace = nullptr);

  void setDriver(Driver driver) { driver_ = std::move(driver); }

  // User actions; each runs the game until idle afterwards.
  void key(unsigned character);
  void close();
  void expose();
  // Every expiry up to now + ms, in order; the clock ends at now + ms or
  // later if the game slept past it.
  void wait(std::int64_t ms);
  // Moves to the next timer expiry; nothing while no timer runs.
  void tick();
  // Writes the state line to the trace.
  void traceState();

  std::int64_t now() const { return clock_; }
  Rgb pixel(int x, int y) const;
  const std::vector<std::uint8_t>& pixels() const { return pixels_; }
  void setRecording(bool on) { recording_ = on; }

  // Platform.
  bool registerWindowClass() override { return true; }
  Handle createMainWindow(GameState& state) override;
  Handle createStatusBar(Handle parent, const char* text) override;
  Handle openMidi() override;
  void closeMidi(Handle midi) override;
  void setPixel(int x, int y, Rgb colour) override;
  void invalidate(Handle window, bool erase) override;
  void setTimer(Handle window, int periodMs) override;
  void killTimer(Handle window) override;
  void messageBox(Handle owner, const char* text, const char* caption, BoxIcon icon) override;
  void setStatusText(Handle statusBar, int part, const char* text) override;
  void midiShortMsg(Handle midi, std::uint32_t message) override;
  void sleep(int ms) override;
  void postQuit(int code) override;

 private:
  // The pump's side: the virtual clock, and the driver as the user.
  Time currentTime() const override { return std::chrono::milliseconds(clock_); }
  void waitForEvent(std::optional<Time> until) override;
  void eraseClient() override;
  void revealWindow() override;
  bool openBox(const char*, const char*, BoxIcon) override { return false; }
  void beforeMessage(const MessageQueue::Entry& e) override;

  // The next timer expiry on the virtual clock.
  std::optional<std::int64_t> nextExpiry();
  bool tracing() const { return trace_ != nullptr && recording_; }
  void line(const std::string& text);

  std::ostream* trace_;
  bool recording_ = true;
  Driver driver_;
  std::int64_t clock_ = 0;
  std::vector<std::uint8_t> pixels_;
  // Distinct non-null handles for the window, the bar and the MIDI output.
  char windowTag_ = 0, statusTag_ = 0, midiTag_ = 0;
};

}  // namespace vintaro
