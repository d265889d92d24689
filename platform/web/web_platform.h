// The browser platform: the game compiled to WebAssembly under a page. The
// page (site/vintaro-page.js) is the window system: it draws the client area
// from our pixel buffer, shows the status bar and the message boxes, turns
// keys and the close control into events and plays the MIDI messages. The
// message loop keeps the Win32 order of app/message_queue.h on the browser's
// clock and, when idle, waits on a promise (Asyncify) that the next event or
// timer expiry resolves, so the core's blocking calls stay as they are.
#pragma once

#include <cstdint>
#include <vector>

#include "app/message_queue.h"
#include "app/platform.h"

namespace vintaro::web {

inline constexpr int kBoardWidth = 639;
inline constexpr int kBoardHeight = 598;  // the status bar below is the page's

// What the page's event queue hands over: a character, or one of these.
inline constexpr int kNoEvent = -1;
inline constexpr int kCloseEvent = 0x110000;  // past every character
inline constexpr int kBoxAnsweredEvent = 0x110001;

class WebPlatform : public Platform {
 public:
  WebPlatform();

  bool registerWindowClass() override { return true; }
  Handle createMainWindow(GameState& state) override;
  Handle createStatusBar(Handle parent, const char* text) override;
  void showWindow(Handle window) override;
  Handle openMidi() override;
  void closeMidi(Handle midi) override;
  int runMessageLoop(GameState& state) override;
  bool beginPaint(Handle window) override;
  void setPixel(int x, int y, Rgb colour) override;
  void endPaint(Handle window) override;
  void invalidate(Handle window, bool erase) override;
  void setTimer(Handle window, int periodMs) override;
  void killTimer(Handle window) override;
  void messageBox(Handle owner, const char* text, const char* caption, BoxIcon icon) override;
  void setStatusText(Handle statusBar, int part, const char* text) override;
  void midiShortMsg(Handle midi, std::uint32_t message) override;
  void sleep(int ms) override;
  void postQuit(int code) override;

 private:
  void pullEvents();
  // The next message in order, waiting for one; inside a box's loop, None
  // once the box has been answered.
  MessageQueue::Entry nextMessage(bool inBox);
  void dispatch(const MessageQueue::Entry& e);
  void dispatchPaint(bool erase);
  void fillBackground();
  void present();

  GameState* state_ = nullptr;
  MessageQueue queue_;
  std::vector<std::uint8_t> pixels_;  // RGBA, as the canvas takes it
  int dirtyX0_, dirtyY0_, dirtyX1_, dirtyY1_;
  bool windowAlive_ = false;
  bool shown_ = false;
  bool closing_ = false;
  bool eraseOnBegin_ = false;
  bool boxAnswered_ = false;
  char windowTag_ = 0, statusTag_ = 0, midiTag_ = 0;
};

}  // namespace vintaro::web
