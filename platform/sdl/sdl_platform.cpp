#include "platform/sdl/sdl_platform.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "app/window.h"
#include "art/icon.h"
#include "game/game_state.h"
#include "platform/common/cp932.h"
#include "platform/sdl/display.h"
#include "platform/sdl/key_input.h"
#include "platform/sdl/midi_synth.h"
#include "render/tables.h"

namespace vintaro::sdl {

namespace {

void setWindowIcon(SDL_Window* window) {
  constexpr int kSize = 64;
  std::vector<std::uint8_t> rgba = art::paintIcon(kSize);
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(rgba.data(), kSize, kSize, 32, kSize * 4,
                                                         SDL_PIXELFORMAT_RGBA32);
  if (icon == nullptr) return;
  SDL_SetWindowIcon(window, icon);
  SDL_FreeSurface(icon);
}

double epochSeconds() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

}  // namespace

std::int64_t SdlPlatform::nowUs() {
  static const auto start = std::chrono::steady_clock::now();
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

SdlPlatform::SdlPlatform(const Options& options, Recorder* recorder)
    : options_(options), recorder_(recorder) {
  // Ending signals are the game's own to handle, box or no box.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  signals_ = std::make_unique<EndSignals>([this] {
    // Wakes the loop; before SDL has started, its first look at raised() does.
    const Uint32 type = signalEvent_.load();
    if (type == static_cast<Uint32>(-1)) return;
    SDL_Event e{};
    e.type = type;
    SDL_PushEvent(&e);
  });
}

SdlPlatform::~SdlPlatform() {
  signals_.reset();
  audio_.close();
  bar_.reset();
  client_.reset();
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  if (TTF_WasInit() != 0) TTF_Quit();
  SDL_Quit();
}

bool SdlPlatform::registerWindowClass() {
  // The window surface is put on the screen by the window system's own means
  // (X shared memory), not through a GPU renderer.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  if (!startVideo()) return false;
  loadedEvent_ = SDL_RegisterEvents(1);
  signalEvent_ = SDL_RegisterEvents(1);
  timingLog("sdl-init-ms=%.1f", timingMs(processStart(), timingNow()));
  return true;
}

Handle SdlPlatform::createMainWindow(GameState& state) {
  state_ = &state;
  mode_ = ScreenMode(options_.scale, kClientWidth, kClientHeight);
  const int scale = mode_.windowScale();
  window_ = SDL_CreateWindow(kWindowTitle, kWindowX, kWindowY, kClientWidth * scale,
                             kClientHeight * scale, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
  if (window_ == nullptr) return nullptr;
  windowId_ = SDL_GetWindowID(window_);
  setWindowIcon(window_);
  client_ = std::make_unique<ClientSurface>(window_, kClientWidth, kClientHeight, kBackground);
  client_->setLayout(mode_.layout(window_));
  if (!client_->ok()) {
    SDL_DestroyWindow(window_);
    window_ = nullptr;
    return nullptr;
  }
  windowAlive_ = true;
  timingLog("window-ms=%.1f", timingMs(processStart(), timingNow()));
  windowProc(state, *this, window_, Message::Create);
  timingLog("created-ms=%.1f", timingMs(processStart(), timingNow()));
  return window_;
}

Handle SdlPlatform::createStatusBar(Handle, const char* text) {
  bar_ = std::make_unique<StatusBarView>(0, clientHeight, kClientWidth, mode_.windowScale());
  if (bar_->surface() == nullptr) {
    bar_.reset();
    return nullptr;
  }
  if (!bar_->hasFont()) {
    std::fprintf(stderr,
                 "vintaro: no Japanese font found, so the status bar has no text: "
                 "install fonts-ipafont-gothic\n");
  }
  bar_->setText(0, cp932ToUtf8(text));
  return bar_.get();
}

void SdlPlatform::showWindow(Handle) {
  if (ending()) return;
  if (recorder_ != nullptr) recorder_->settings(state_->ballsLeft, state_->intervalMs);
  SDL_ShowWindow(window_);
  shown_ = true;
  SDL_StartTextInput();
  // Showing erases the client area to the background; then the first paint
  // is done at once (ShowWindow and UpdateWindow).
  client_->erase();
  dispatchPaint(false);
}

Handle SdlPlatform::openMidi() {
  if (ending()) return nullptr;
  const Uint32 event = loadedEvent_;
  const std::vector<std::string> fonts = soundFontCandidates(options_.soundFont);
  if (!options_.soundFont.empty() && findSoundFont({options_.soundFont}).empty()) {
    std::fprintf(stderr, "vintaro: no soundfont %s; trying the default one\n",
                 options_.soundFont.c_str());
  }
  if (findSoundFont(fonts).empty()) {
    std::fprintf(stderr,
                 "vintaro: no General MIDI soundfont found, so the game is silent: install "
                 "timgm6mb-soundfont, or name one with --soundfont FILE\n");
  }
  const bool open = audio_.open(fonts, [event] {
    if (event == static_cast<Uint32>(-1)) return;
    SDL_Event e{};
    e.type = event;
    SDL_PushEvent(&e);
  });
  return open ? &audio_ : nullptr;
}

void SdlPlatform::closeMidi(Handle) { audio_.close(); }

int SdlPlatform::runMessageLoop(GameState&) {
  for (;;) {
    pumpEvents();
    if (box_ != nullptr && box_->closed()) return 0;
    queue_.advanceTo(nowUs());
    const MessageQueue::Entry e = queue_.take();
    switch (e.kind) {
      case MessageQueue::Kind::None:
        waitForEvent();
        break;
      case MessageQueue::Kind::Char:
        dispatch(Message::Char, e.code);
        // Only a key that asked for a paint is timed to its frame.
        if (!queue_.invalid()) keyWaiting_ = false;
        break;
      case MessageQueue::Kind::Close:
        closeWindow();
        break;
      case MessageQueue::Kind::Quit:
        if (box_ != nullptr) {
          // The box ends, and the quit message is left for the loop outside.
          queue_.postQuit(static_cast<int>(e.code));
          return 0;
        }
        present();
        return static_cast<int>(e.code);
      case MessageQueue::Kind::Paint:
        dispatchPaint(e.erase);
        break;
      case MessageQueue::Kind::Timer:
        if (timingEnabled()) {
          const TimePoint now = timingNow();
          if (tickedBefore_) {
            timingLog("tick period-ms=%lld actual-ms=%.3f", static_cast<long long>(timerPeriod_),
                      timingMs(lastTick_, now));
          }
          lastTick_ = now;
          tickedBefore_ = true;
        }
        dispatch(Message::Timer);
        break;
    }
  }
}

void SdlPlatform::pumpEvents() {
  SDL_Event e;
  while (SDL_PollEvent(&e) != 0) handleEvent(e);
  // An ending signal closes the main window, shown or not.
  if (signals_->raised() && windowAlive_ && !closing_) {
    closing_ = true;
    queue_.postClose();
  }
}

void SdlPlatform::waitForEvent() {
  present();
  SDL_Event e;
  int got = 0;
  if (const auto next = queue_.nextExpiry()) {
    const std::int64_t left = *next - nowUs();
    if (left <= 0) return;
    if (left < 1000) {
      // Less than SDL's millisecond: sleep to the microsecond.
      std::this_thread::sleep_for(std::chrono::microseconds(left));
      return;
    }
    got = SDL_WaitEventTimeout(&e, static_cast<int>(std::min<std::int64_t>(left / 1000, 1 << 30)));
  } else {
    got = SDL_WaitEvent(&e);
  }
  if (got != 0) handleEvent(e);
}

void SdlPlatform::handleEvent(const SDL_Event& e) {
  // Under a box the main window is disabled: its input goes nowhere.
  if (box_ != nullptr && box_->take(e, windowId_)) return;
  if (e.type == loadedEvent_) {
    audio_.adoptLoaded();
    return;
  }
  switch (e.type) {
    case SDL_QUIT:
      if (windowAlive_ && shown_ && !closing_) {
        closing_ = true;
        queue_.postClose();
      }
      break;
    case SDL_WINDOWEVENT:
      if (e.window.windowID == windowId_) handleWindowEvent(e.window);
      break;
    case SDL_TEXTINPUT:
      if (!windowAlive_ || e.text.windowID != windowId_) break;
      for (const unsigned c : textInputCharacters(e.text.text)) queue_.postChar(c);
      if (timingEnabled() && !keyWaiting_) {
        keyWaiting_ = true;
        keyTime_ = timingNow();
      }
      break;
    case SDL_KEYDOWN:
      if (!windowAlive_ || e.key.windowID != windowId_) break;
      if (isFullScreenKey(e.key.keysym.sym, e.key.keysym.mod)) {
        if (e.key.repeat == 0 && shown_) {
          mode_.toggle(window_);
          applyLayout();
        }
        break;
      }
      if (const unsigned c = controlCharacterOfKey(e.key.keysym.sym); c != 0) queue_.postChar(c);
      break;
    default:
      break;
  }
}

void SdlPlatform::handleWindowEvent(const SDL_WindowEvent& e) {
  if (!windowAlive_ || !shown_) return;
  switch (e.event) {
    case SDL_WINDOWEVENT_EXPOSED:
      // Uncovered: the window system asks for a repaint, with erase.
      client_->markAllDirty();
      queue_.invalidate(true);
      windowErase_ = true;
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      // The class's CS_HREDRAW | CS_VREDRAW: the whole client area again.
      applyLayout();
      client_->markAllDirty();
      queue_.invalidate(true);
      windowErase_ = true;
      break;
    case SDL_WINDOWEVENT_CLOSE:
      if (!closing_) {
        closing_ = true;
        queue_.postClose();
      }
      break;
    default:
      break;
  }
}

void SdlPlatform::closeWindow() {
  // The default handling of a close: the window goes, and its destruction
  // reaches the game as the destroy message.
  windowAlive_ = false;
  queue_.windowDestroyed();
  if (window_ != nullptr) SDL_HideWindow(window_);
  dispatch(Message::Destroy);
}

void SdlPlatform::dispatchPaint(bool erase) {
  eraseOnBegin_ = erase;
  dispatch(Message::Paint);
  eraseOnBegin_ = false;
}

void SdlPlatform::dispatch(Message message, unsigned code) {
  // A message taken in a modal box's own loop is handled inside another
  // one's handling. It is inert, and a replay answers every box at once:
  // it is not recorded.
  if (recorder_ != nullptr && handling_ == 0) {
    recorder_->take(message, code, message == Message::Paint && eraseOnBegin_ && windowErase_);
  }
  if (message == Message::Paint) windowErase_ = false;
  ++handling_;
  windowProc(*state_, *this, window_, message, code);
  --handling_;
  // Nothing after the victory changes how the game ends.
  if (recorder_ != nullptr && state_->finished != 0) recorder_->end("all blocks cleared");
}

void SdlPlatform::applyLayout() {
  const Layout layout = mode_.layout(window_);
  client_->setLayout(layout);
  if (bar_ != nullptr) bar_->setScale(layout.scale);
  int w = 0, h = 0;
  SDL_GetWindowSize(window_, &w, &h);
  client_->resized(w, h);
}

void SdlPlatform::present() {
  if (!windowAlive_ || !shown_) return;
  if (!client_->present(bar_.get())) return;
  if (!timingEnabled()) return;
  const TimePoint now = timingNow();
  if (!firstFrameLogged_) {
    firstFrameLogged_ = true;
    timingLog("first-frame-ms=%.1f epoch=%.6f", timingMs(processStart(), now), epochSeconds());
  }
  if (keyWaiting_) {
    keyWaiting_ = false;
    timingLog("key-to-frame-ms=%.3f", timingMs(keyTime_, now));
  }
}

bool SdlPlatform::beginPaint(Handle) {
  if (!eraseOnBegin_) return false;
  client_->erase();
  return true;
}

void SdlPlatform::endPaint(Handle) { present(); }

void SdlPlatform::invalidate(Handle, bool erase) {
  if (windowAlive_) queue_.invalidate(erase);
}

void SdlPlatform::setTimer(Handle, int periodMs) {
  if (!windowAlive_) return;
  // The queue counts in microseconds here: the minimum period is applied in
  // milliseconds first.
  timerPeriod_ = std::max<std::int64_t>(periodMs, MessageQueue::kMinTimerPeriodMs);
  queue_.setTimer(nowUs(), timerPeriod_ * 1000);
  tickedBefore_ = false;
}

void SdlPlatform::killTimer(Handle) {
  queue_.killTimer();
  tickedBefore_ = false;
}

void SdlPlatform::messageBox(Handle, const char* text, const char* caption, BoxIcon icon) {
  // A closed main window takes its boxes with it.
  if (ending() || box_ != nullptr) return;
  // What the game showed before the box (the final score) is on screen first.
  present();
  MessageBoxWindow box(cp932ToUtf8(caption), cp932ToUtf8(text), icon, shown_ ? window_ : nullptr);
  if (!box.ok()) return;
  box_ = &box;
  runMessageLoop(*state_);
  box_ = nullptr;
}

void SdlPlatform::setStatusText(Handle statusBar, int part, const char* text) {
  if (statusBar == nullptr || bar_ == nullptr) return;
  bar_->setText(part, cp932ToUtf8(text));
}

void SdlPlatform::midiShortMsg(Handle midi, std::uint32_t message) {
  // Told to end, the game makes no more sound: a tune cut short by a signal
  // does not rush through its last notes.
  if (midi != nullptr && !signals_->raised()) audio_.send(message);
}

void SdlPlatform::sleep(int ms) {
  present();
  // An ending signal cuts the wait short.
  signals_->sleep(std::max(ms, 0));
}

void SdlPlatform::postQuit(int code) { queue_.postQuit(code); }

}  // namespace vintaro::sdl
