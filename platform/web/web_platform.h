// The browser platform: the game compiled to WebAssembly under a page. The
// page (site/) is the window system: it draws the client area from our pixel
// buffer, shows the status bar and the message boxes, turns keys and the
// close control into events and plays the MIDI messages. The shared message
// pump runs on the browser's clock and, when idle, waits on a promise
// (Asyncify) that the next event or timer expiry resolves, so the core's
// blocking calls stay as they are.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/common/message_pump.h"
#include "platform/common/recorder.h"

namespace vintaro::web {

// What the page's event queue hands over: a character, or one of these.
inline constexpr int kNoEvent = -1;
inline constexpr int kCloseEvent = 0x110000;  // past every character
inline constexpr int kBoxAnsweredEvent = 0x110001;
inline constexpr int kPauseEvent = 0x110002;     // the page was hidden
inline constexpr int kResumeEvent = 0x110003;    // a tap on the board
inline constexpr int kSteerEndEvent = 0x110004;  // the finger lifted
// These carry a number: a PadControl, the stick's x from -1000 (left) to
// 1000, the board's x under a finger (0 to 638).
inline constexpr int kPadPressedEvent = 0x110100;
inline constexpr int kPadReleasedEvent = 0x110200;
inline constexpr int kStickEvent = 0x110800;  // + 1000 + x
inline constexpr int kSteerEvent = 0x111000;
inline constexpr int kEventEnd = 0x111400;

// What the page shows around the board: how the game can be played now.
enum class Play { Paused, Playing, Over };

class WebPlatform : public MessagePump {
 public:
  // `recorder`, if any, writes the game down as it is played.
  explicit WebPlatform(Recorder* recorder = nullptr);

  bool registerWindowClass() override { return true; }
  Handle createMainWindow(GameState& state) override;
  Handle createStatusBar(Handle parent, const char* text) override;
  Handle openMidi() override;
  void closeMidi(Handle midi) override;
  void setPixel(int x, int y, Rgb colour) override;
  void setStatusText(Handle statusBar, int part, const char* text) override;
  void midiShortMsg(Handle midi, std::uint32_t message) override;
  void sleep(int ms) override;

 private:
  // The pump's side.
  Time currentTime() const override;
  void pollEvents() override;
  void waitForEvent(std::optional<Time> until) override;
  void present() override;
  void eraseClient() override;
  void revealWindow() override;
  bool openBox(const char* text, const char* caption, BoxIcon icon) override;
  bool boxAnswered() override { return boxAnswered_; }
  void closeBox() override;
  void beforeMessage(const MessageQueue::Entry& e) override;
  void afterMessage(const MessageQueue::Entry& e) override;
  void takeEvent(int event);
  void tellPlay();

  std::vector<std::uint8_t> pixels_;  // the board, RGBA, as the canvas takes it
  int dirtyX0_, dirtyY0_, dirtyX1_, dirtyY1_;
  bool boxAnswered_ = false;
  PadStick stick_;
  int play_ = -1;  // the Play last told to the page
  char windowTag_ = 0, statusTag_ = 0, midiTag_ = 0;
};

}  // namespace vintaro::web
