// The Linux desktop platform: one SDL2 window drawn through a surface of the
// game's own, the status bar, the game's own modal message boxes, a
// real-clock timer in the Win32 message order of app/message_queue.h, and
// FluidSynth as the MIDI output. Everything game-side runs on the thread that
// calls runGame; the message loop sleeps in SDL_WaitEventTimeout until the
// next event or timer expiry. A box runs the same loop nested, as Windows'
// modal loop does. SIGTERM, SIGINT and SIGHUP close the main window.
#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "app/message_queue.h"
#include "app/platform.h"
#include "app/window.h"
#include "platform/sdl/audio_output.h"
#include "platform/sdl/client_surface.h"
#include "platform/sdl/end_signals.h"
#include "platform/sdl/message_box.h"
#include "platform/sdl/options.h"
#include "platform/sdl/recorder.h"
#include "platform/sdl/screen_mode.h"
#include "platform/sdl/status_bar_view.h"
#include "platform/sdl/timing_log.h"

namespace vintaro::sdl {

inline constexpr int kWindowX = 100;
inline constexpr int kWindowY = 50;
inline constexpr int kClientWidth = 639;
inline constexpr int kClientHeight = 619;  // the 598-pixel board and the 21-pixel bar

class SdlPlatform : public Platform {
 public:
  // The scale and soundfont of `options`; `recorder`, if any, writes the game
  // down as it is played.
  explicit SdlPlatform(const Options& options = {}, Recorder* recorder = nullptr);
  ~SdlPlatform() override;
  SdlPlatform(const SdlPlatform&) = delete;
  SdlPlatform& operator=(const SdlPlatform&) = delete;

  bool registerWindowClass() override;
  Handle createMainWindow(GameState& state) override;
  Handle createStatusBar(Handle parent, const char* text) override;
  void showWindow(Handle window) override;
  Handle openMidi() override;
  void closeMidi(Handle midi) override;
  int runMessageLoop(GameState& state) override;
  bool beginPaint(Handle window) override;
  void setPixel(int x, int y, Rgb colour) override { client_->setPixel(x, y, colour); }
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
  // The message queue's clock, in microseconds: a timer expiry is met to the
  // microsecond, not to the next millisecond tick.
  static std::int64_t nowUs();
  void handleEvent(const SDL_Event& e);
  void handleWindowEvent(const SDL_WindowEvent& e);
  void pumpEvents();
  void waitForEvent();
  void present();
  void closeWindow();
  void dispatchPaint(bool erase);
  // The main window is closed or about to be: start-up shows nothing more.
  bool ending() const { return !windowAlive_ || closing_ || signals_->raised(); }
  void dispatch(Message message, unsigned code = 0);
  void applyLayout();

  GameState* state_ = nullptr;
  SDL_Window* window_ = nullptr;
  Uint32 windowId_ = 0;
  bool windowAlive_ = false;
  bool shown_ = false;
  bool closing_ = false;
  std::unique_ptr<ClientSurface> client_;
  std::unique_ptr<StatusBarView> bar_;
  AudioOutput audio_;
  Uint32 loadedEvent_ = static_cast<Uint32>(-1);
  MessageQueue queue_;
  bool eraseOnBegin_ = false;
  // The box up now; the message loop runs nested until it is answered.
  MessageBoxWindow* box_ = nullptr;
  std::unique_ptr<EndSignals> signals_;
  std::atomic<Uint32> signalEvent_{static_cast<Uint32>(-1)};
  Options options_;
  ScreenMode mode_{1, kClientWidth, kClientHeight};
  Recorder* recorder_ = nullptr;
  int handling_ = 0;          // messages being handled, one inside another under a box
  bool windowErase_ = false;  // the window system asked for an erased repaint

  // VINTARO_TIMING: the first frame, key to frame, tick cadence.
  bool firstFrameLogged_ = false;
  bool keyWaiting_ = false;
  TimePoint keyTime_{};
  TimePoint lastTick_{};
  bool tickedBefore_ = false;
  std::int64_t timerPeriod_ = 0;
};

}  // namespace vintaro::sdl
