// The Linux desktop platform: one SDL2 window drawn through a surface of the
// game's own, the status bar, the game's own modal message boxes, the shared
// message pump on the real clock, and FluidSynth as the MIDI output.
// Everything game-side runs on the thread that calls runGame; when idle the
// pump sleeps in SDL_WaitEventTimeout until the next event or timer expiry.
// SIGTERM, SIGINT and SIGHUP close the main window.
#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "app/geometry.h"
#include "platform/common/message_pump.h"
#include "platform/common/recorder.h"
#include "platform/sdl/audio_output.h"
#include "platform/sdl/client_surface.h"
#include "platform/sdl/end_signals.h"
#include "platform/sdl/game_pads.h"
#include "platform/sdl/message_box.h"
#include "platform/sdl/options.h"
#include "platform/sdl/screen_mode.h"
#include "platform/sdl/status_bar.h"
#include "platform/sdl/timing_log.h"

namespace vintaro::sdl {

class SdlPlatform : public MessagePump {
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
  Handle openMidi() override;
  void closeMidi(Handle midi) override;
  void setPixel(int x, int y, Rgb colour) override { client_->setPixel(x, y, colour); }
  void setTimer(Handle window, int periodMs) override;
  void killTimer(Handle window) override;
  void setStatusText(Handle statusBar, int part, const char* text) override;
  void midiShortMsg(Handle midi, std::uint32_t message) override;
  void sleep(int ms) override;

 private:
  // The pump's side.
  Time currentTime() const override;
  void pollEvents() override;
  void waitForEvent(std::optional<Time> until) override;
  void present() override;
  void eraseClient() override { client_->erase(); }
  void revealWindow() override;
  void windowGone() override;
  bool openBox(const char* text, const char* caption, BoxIcon icon) override;
  bool boxAnswered() override { return box_ == nullptr || box_->closed(); }
  void closeBox() override { box_.reset(); }
  bool endRequested() const override { return signals_->raised(); }
  void beforeMessage(const MessageQueue::Entry& e) override;
  void afterMessage(const MessageQueue::Entry& e) override;

  void handleEvent(const SDL_Event& e);
  void handleWindowEvent(const SDL_WindowEvent& e);
  // Caps Lock on and a paddle letter typed in capitals, which the game
  // refuses: the title says so until Caps Lock is off.
  void noteCapsLock(bool capitalTyped);
  void toggleFullScreen();
  void logFrameTimes();
  void applyLayout();

  SDL_Window* window_ = nullptr;
  Uint32 windowId_ = 0;
  std::unique_ptr<ClientSurface> client_;
  std::unique_ptr<StatusBarView> bar_;
  AudioOutput audio_;
  Uint32 loadedEvent_ = static_cast<Uint32>(-1);
  // The box up now; the pump runs nested until it is answered.
  std::unique_ptr<MessageBoxWindow> box_;
  std::unique_ptr<EndSignals> signals_;
  // Started after the first frame, which does not need them.
  GamePads pads_{[this](PadControl c) { padPressed(c); }, [this](PadControl c) { padReleased(c); }};
  std::mutex wakeMutex_;
  Uint32 signalEvent_ = static_cast<Uint32>(-1);  // under wakeMutex_
  Options options_;
  ScreenMode mode_{1, kClientAreaWidth, kClientAreaHeight};
  bool capsShown_ = false;

  // VINTARO_TIMING: the first frame, key to frame, tick cadence.
  bool firstFrameLogged_ = false;
  bool keyWaiting_ = false;
  TimePoint keyTime_{};
  TimePoint lastTick_{};
  bool tickedBefore_ = false;
};

}  // namespace vintaro::sdl
