// The game on the Windows desktop: user32, gdi32, comctl32 and winmm, with
// the texts converted from code page 932 for the wide calls.
#pragma once

#include <windows.h>

#include <string>

#include "app/platform.h"
#include "game/game_state.h"

namespace vintaro {

inline constexpr const wchar_t kWindowClass[] = L"Vintaro";

// A code page 932 text for the wide calls, whatever the system's code page.
std::wstring widen(const char* cp932);

// The status bar's font: the system's status font, in a family with Japanese
// glyphs when the system has one. The system's own font may have none (Wine's
// outside a Japanese locale), and the texts would read as boxes.
HFONT createStatusFont();

class Win32Platform : public Platform {
 public:
  Win32Platform(HINSTANCE instance, int showCommand);
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  bool registerWindowClass() override;
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

 protected:
  // The device context of the paint in progress, or null.
  HDC paintDc() const { return paintDc_; }

 private:
  static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void paint(HWND window);
  void eraseBackground(HWND window, HDC dc);
  void fitBackBuffer(HWND window);
  void releaseBackBuffer();

  HINSTANCE instance_;
  int showCommand_;
  GameState* state_ = nullptr;
  HBRUSH background_;
  HFONT statusFont_ = nullptr;

  // The back buffer mirrors the client area: 32-bit, top-down, its origin at
  // the client area's. Erases go to it as they go to the screen.
  HDC bufferDc_ = nullptr;
  HBITMAP buffer_ = nullptr;
  HGDIOBJ bufferDcOldBitmap_ = nullptr;
  std::uint32_t* bits_ = nullptr;
  int bufferWidth_ = 0;
  int bufferHeight_ = 0;

  // The paint in progress.
  PAINTSTRUCT paintStruct_{};
  HDC paintDc_ = nullptr;
  RECT dirty_{};
  unsigned paintsBegun_ = 0;
  // Any erase of the client area since the last paint began.
  bool erasedSincePaint_ = false;
};

}  // namespace vintaro
