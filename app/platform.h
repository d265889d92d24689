// What the game needs of a window system, and nothing more. Each platform
// implements it in its own folder under platform/: the headless one with a
// virtual clock that the replay tool runs on, the Linux desktop (SDL2), the
// Windows desktop (Win32) and the browser (WebAssembly). All but Windows
// share the window manager's part, platform/common/message_pump.h. The game
// core only ever sees this interface.
#pragma once

#include <cstdint>

namespace vintaro {

struct GameState;

// An opaque window-system handle (window, status bar, MIDI output). Null means
// "not there": calls given a null handle quietly do nothing.
using Handle = void*;

enum class BoxIcon { Warning, Error };

struct Rgb {
  std::uint8_t r, g, b;
  friend bool operator==(Rgb, Rgb) = default;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Start-up steps, in the order the game calls them.
  virtual bool registerWindowClass() = 0;
  // Creates the hidden main window. The create message must reach
  // windowProc(state, *this, window, Message::Create) before this returns.
  // Returns null when the window cannot be made.
  virtual Handle createMainWindow(GameState& state) = 0;
  // Creates the three-part status bar with `text` (code page 932) in part 0.
  virtual Handle createStatusBar(Handle parent, const char* text) = 0;
  // Shows the window and has it painted at once.
  virtual void showWindow(Handle window) = 0;
  virtual Handle openMidi() = 0;
  virtual void closeMidi(Handle midi) = 0;
  // Dispatches messages until the quit message is taken; returns its code.
  virtual int runMessageLoop(GameState& state) = 0;

  // Painting. beginPaint answers whether the client area was erased to the
  // background for this paint.
  virtual bool beginPaint(Handle window) = 0;
  virtual void setPixel(int x, int y, Rgb colour) = 0;
  virtual void endPaint(Handle window) = 0;
  // Asks for a repaint of the whole client area.
  virtual void invalidate(Handle window, bool erase) = 0;

  // Timer 1 of the window; a period of 0 runs at the platform's minimum.
  virtual void setTimer(Handle window, int periodMs) = 0;
  virtual void killTimer(Handle window) = 0;

  // A modal box with one OK button; texts in code page 932.
  virtual void messageBox(Handle owner, const char* text, const char* caption, BoxIcon icon) = 0;
  virtual void setStatusText(Handle statusBar, int part, const char* text) = 0;
  virtual void midiShortMsg(Handle midi, std::uint32_t message) = 0;
  virtual void sleep(int ms) = 0;
  virtual void postQuit(int code) = 0;
};

}  // namespace vintaro
