#include "platform/sdl/sdl_platform.h"

#include <SDL_syswm.h>
#include <SDL_ttf.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <thread>

#include "app/geometry.h"
#include "app/window.h"
#include "game/game_state.h"
#include "platform/common/cp932.h"
#include "platform/sdl/key_input.h"
#include "platform/sdl/midi_synth.h"
#include "platform/sdl/window_icon.h"
#include "render/tables.h"

namespace vintaro::sdl {

namespace {

// Starting SDL's video on a display someone can see. When no display answers
// SDL falls back to its offscreen driver, and the game would play unseen: the
// offscreen and dummy drivers are taken only when SDL_VIDEODRIVER names them.
const char* orNone(const char* s) { return s != nullptr && *s != '\0' ? s : "(not set)"; }

void sayNoDisplay(const char* why) {
  std::fprintf(stderr,
               "vintaro: no display to show the game on (DISPLAY %s, WAYLAND_DISPLAY %s): %s\n",
               orNone(std::getenv("DISPLAY")), orNone(std::getenv("WAYLAND_DISPLAY")), why);
}

// Whether `driver` is one of the comma-separated names in `requested`, as SDL
// matches them: without regard to case.
bool driverRequested(const char* driver, const char* requested) {
  if (driver == nullptr || requested == nullptr) return false;
  const std::string_view want(driver);
  std::string_view list(requested);
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    const std::string_view name = list.substr(0, comma);
    if (name.size() == want.size() && SDL_strncasecmp(name.data(), driver, name.size()) == 0) {
      return true;
    }
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return false;
}

// Without a runtime folder no Wayland compositor can be reached, and trying
// prints libwayland's complaint before the game's own line: SDL is asked for
// its other drivers then, unless the player named some.
void skipUnreachableWayland() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (std::getenv("SDL_VIDEODRIVER") != nullptr || (runtime != nullptr && *runtime != '\0') ||
      (wayland != nullptr && wayland[0] == '/')) {
    return;
  }
  std::string others;
  for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
    const std::string_view name = SDL_GetVideoDriver(i);
    if (name == "wayland") continue;
    if (!others.empty()) others += ',';
    others += name;
  }
  SDL_SetHint(SDL_HINT_VIDEODRIVER, others.c_str());
}

// An X request about a window that is gone by the time the server takes it
// fails with BadWindow, which Xlib's default handling would end the game
// with, code 1. Two such races are SDL's own: a wake-up it sends from another
// thread (an event pushed there) goes to the main window over a second X
// connection, which the server may take after the first connection has
// destroyed that window; and the coordinates it asks for a window that a
// window manager's frame, going with it, held. Nothing is lost by them: the
// window is gone, and with it what was asked of it.
XErrorHandler earlierXErrorHandler = nullptr;
int onXError(Display* display, XErrorEvent* e) {
  if (e->error_code == BadWindow) return 0;
  return earlierXErrorHandler != nullptr ? earlierXErrorHandler(display, e) : 0;
}

// SDL_Init for video. Answers false, having said why on standard error, when
// there is no usable display.
bool startVideo() {
  skipUnreachableWayland();
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    sayNoDisplay(SDL_GetError());
    return false;
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  const std::string_view name = driver != nullptr ? driver : "";
  if ((name == "offscreen" || name == "dummy") &&
      !driverRequested(driver, std::getenv("SDL_VIDEODRIVER"))) {
    sayNoDisplay("none of SDL's video drivers could open one");
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  if (name == "x11") earlierXErrorHandler = XSetErrorHandler(onXError);
  // Nothing here waits for audio devices to come and go: SDL's threads need
  // not wake the game for them.
  SDL_EventState(SDL_AUDIODEVICEADDED, SDL_IGNORE);
  SDL_EventState(SDL_AUDIODEVICEREMOVED, SDL_IGNORE);
  return true;
}

void setWindowIcon(SDL_Window* window) {
  constexpr int kSize = kWindowIconSize;
  std::array<std::uint8_t, kSize * kSize * 4> rgba{};
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_memory(&image, kWindowIconPng, kWindowIconPngSize) == 0) return;
  image.format = PNG_FORMAT_RGBA;
  if (image.width != kSize || image.height != kSize ||
      png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr) == 0) {
    png_image_free(&image);
    return;
  }
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(rgba.data(), kSize, kSize, 32, kSize * 4,
                                                         SDL_PIXELFORMAT_RGBA32);
  if (icon == nullptr) return;
  SDL_SetWindowIcon(window, icon);
  SDL_FreeSurface(icon);
}

// SDL asks an X window manager for full screen (_NET_WM_STATE_FULLSCREEN)
// and takes its own request for the answer: with no window manager that
// offers it nothing happens, and the game would draw for a screen-sized
// window it does not have.
bool fullScreenOffered(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) {
    return true;
  }
  Display* d = info.info.x11.display;
  const Atom supported = XInternAtom(d, "_NET_SUPPORTED", True);
  const Atom fullScreen = XInternAtom(d, "_NET_WM_STATE_FULLSCREEN", True);
  if (supported == 0 || fullScreen == 0) return false;
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, DefaultRootWindow(d), supported, 0, 4096, False, XA_ATOM, &type,
                         &format, &count, &after, &data) != Success ||
      data == nullptr) {
    return false;
  }
  bool found = false;
  const auto* atoms = reinterpret_cast<const Atom*>(data);
  for (unsigned long i = 0; i < count; ++i) found = found || atoms[i] == fullScreen;
  XFree(data);
  return found;
}

void syncWindowSystem(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11) {
    XSync(info.info.x11.display, False);
  }
}

double epochSeconds() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

}  // namespace

MessagePump::Time SdlPlatform::currentTime() const {
  static const auto start = std::chrono::steady_clock::now();
  return std::chrono::duration_cast<Time>(std::chrono::steady_clock::now() - start);
}

SdlPlatform::SdlPlatform(const Options& options, Recorder* recorder) : options_(options) {
  setRecorder(recorder);
  // SDL opens X's input method in the player's locale, which for a UTF-8
  // locale means reading and parsing its whole table of compose sequences
  // (15 ms, before the first frame). The game's keys are plain characters
  // that need no composing: the C locale's input method serves. Set before
  // any thread of the game's reads the environment.
  ::setenv("LC_ALL", "C", 1);
  // The status bar's font is looked for while SDL starts.
  startJapaneseFontLookup();
  // Ending signals are the game's own to handle, box or no box.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  signals_ = std::make_unique<EndSignals>([this] {
    // Wakes the loop; before SDL has started, its first look at raised() does.
    const std::lock_guard lock(wakeMutex_);
    if (signalEvent_ == static_cast<Uint32>(-1)) return;
    SDL_Event e{};
    e.type = signalEvent_;
    SDL_PushEvent(&e);
  });
}

SdlPlatform::~SdlPlatform() {
  {
    // A signal from now on wakes nothing: SDL is going.
    const std::lock_guard lock(wakeMutex_);
    signalEvent_ = static_cast<Uint32>(-1);
  }
  pads_.close();
  audio_.close();
  // No thread is left to push an event: a round trip makes sure the server
  // has taken every wake-up they sent before the windows go (onXError).
  if (window_ != nullptr) syncWindowSystem(window_);
  box_.reset();
  bar_.reset();
  client_.reset();
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  if (TTF_WasInit() != 0) TTF_Quit();
  SDL_Quit();
  // Last: till SDL's threads are gone a signal is taken by the handler, and
  // after it, held back (end_signals.h).
  signals_.reset();
}

bool SdlPlatform::registerWindowClass() {
  // The window surface is put on the screen by the window system's own means
  // (X shared memory), not through a GPU renderer.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  if (!startVideo()) return false;
  loadedEvent_ = SDL_RegisterEvents(1);
  {
    const std::lock_guard lock(wakeMutex_);
    signalEvent_ = SDL_RegisterEvents(1);
  }
  timingLog("sdl-init-ms=%.1f", timingMs(processStart(), timingNow()));
  return true;
}

Handle SdlPlatform::createMainWindow(GameState& state) {
  mode_ = ScreenMode(options_.scale, kClientAreaWidth, kClientAreaHeight);
  const int scale = mode_.windowScale();
  const SDL_Rect& usable = mode_.usable();
  if (mode_.asked() > scale) {
    std::fprintf(stderr,
                 "vintaro: at --scale %d the window (%d x %d) is larger than the screen's %d x %d; "
                 "it is drawn at scale %d (F11: full screen)\n",
                 mode_.asked(), kClientAreaWidth * mode_.asked(), kClientAreaHeight * mode_.asked(),
                 usable.w, usable.h, scale);
  }
  const SDL_Point at =
      usable.w > 0 ? windowPlace(usable, kClientAreaWidth * scale, kClientAreaHeight * scale)
                   : SDL_Point{kWindowX, kWindowY};
  window_ = SDL_CreateWindow(kWindowTitle, at.x, at.y, kClientAreaWidth * scale,
                             kClientAreaHeight * scale, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
  if (window_ == nullptr) return nullptr;
  windowId_ = SDL_GetWindowID(window_);
  setWindowIcon(window_);
  client_ =
      std::make_unique<ClientSurface>(window_, kClientAreaWidth, kClientAreaHeight, kBackground);
  client_->setLayout(mode_.layout(window_));
  if (!client_->ok()) {
    SDL_DestroyWindow(window_);
    window_ = nullptr;
    return nullptr;
  }
  timingLog("window-ms=%.1f", timingMs(processStart(), timingNow()));
  attachWindow(state, window_);
  timingLog("created-ms=%.1f", timingMs(processStart(), timingNow()));
  return window_;
}

Handle SdlPlatform::createStatusBar(Handle, const char* text) {
  bar_ = std::make_unique<StatusBarView>(0, clientHeight, kClientAreaWidth, mode_.windowScale());
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

void SdlPlatform::revealWindow() {
  SDL_ShowWindow(window_);
  SDL_StartTextInput();
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
  if (!open && !findSoundFont(fonts).empty()) {
    std::fprintf(stderr, "vintaro: no audio device to play on, so the game is silent\n");
  }
  return open ? &audio_ : nullptr;
}

void SdlPlatform::closeMidi(Handle) { audio_.close(); }

void SdlPlatform::pollEvents() {
  pads_.update();
  SDL_Event e;
  while (SDL_PollEvent(&e) != 0) handleEvent(e);
  // An ending signal closes the main window, shown or not.
  if (signals_->raised()) requestClose();
}

void SdlPlatform::waitForEvent(std::optional<Time> until) {
  SDL_Event e;
  int got = 0;
  // An open pad is read now and then: its events come through no file the
  // window system waits on.
  constexpr auto kPadLook = std::chrono::milliseconds(10);
  if (pads_.anyOpen() && (!until || *until - currentTime() > kPadLook)) {
    until = currentTime() + kPadLook;
  }
  if (until) {
    const auto left = *until - currentTime();
    if (left.count() <= 0) return;
    if (left < std::chrono::milliseconds(1)) {
      // Less than SDL's millisecond: sleep to the microsecond.
      std::this_thread::sleep_for(left);
      return;
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(left).count();
    got = SDL_WaitEventTimeout(&e, static_cast<int>(std::min<std::int64_t>(ms, 1 << 30)));
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
  // Under a box the main window takes no input, and the pads' go with it.
  if (pads_.take(e, box_ == nullptr)) return;
  switch (e.type) {
    case SDL_QUIT:
      if (shown()) requestClose();
      break;
    case SDL_WINDOWEVENT:
      if (e.window.windowID == windowId_) handleWindowEvent(e.window);
      break;
    case SDL_TEXTINPUT: {
      if (!windowAlive() || e.text.windowID != windowId_) break;
      bool capital = false;
      for (const unsigned c : textInputCharacters(e.text.text)) {
        postCharacter(c);
        capital = capital || isCapitalPaddleLetter(c);
      }
      noteCapsLock(capital);
      if (timingEnabled() && !keyWaiting_) {
        keyWaiting_ = true;
        keyTime_ = timingNow();
      }
      break;
    }
    case SDL_KEYUP:
      if (windowAlive() && e.key.windowID == windowId_) noteCapsLock(false);
      break;
    case SDL_KEYDOWN:
      if (!windowAlive() || e.key.windowID != windowId_) break;
      noteCapsLock(false);
      if (isFullScreenKey(e.key.keysym.sym, e.key.keysym.mod)) {
        if (e.key.repeat == 0 && shown()) toggleFullScreen();
        break;
      }
      if (const unsigned c = controlCharacterOfKey(e.key.keysym.sym); c != 0) postCharacter(c);
      break;
    default:
      break;
  }
}

void SdlPlatform::handleWindowEvent(const SDL_WindowEvent& e) {
  if (!windowAlive() || !shown()) return;
  switch (e.event) {
    case SDL_WINDOWEVENT_EXPOSED:
      // Uncovered: the window system asks for a repaint, with erase.
      client_->markAllDirty();
      expose();
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      // The class's CS_HREDRAW | CS_VREDRAW: the whole client area again.
      applyLayout();
      client_->markAllDirty();
      expose();
      break;
    case SDL_WINDOWEVENT_CLOSE:
      requestClose();
      break;
    default:
      break;
  }
}

void SdlPlatform::windowGone() {
  if (window_ != nullptr) SDL_HideWindow(window_);
}

void SdlPlatform::beforeMessage(const MessageQueue::Entry& e) {
  if (e.kind != MessageQueue::Kind::Timer || !timingEnabled()) return;
  const TimePoint now = timingNow();
  if (tickedBefore_) {
    timingLog("tick period-ms=%lld actual-ms=%.3f",
              static_cast<long long>(queue().period().count()), timingMs(lastTick_, now));
  }
  lastTick_ = now;
  tickedBefore_ = true;
}

void SdlPlatform::afterMessage(const MessageQueue::Entry& e) {
  // Only a key that asked for a paint is timed to its frame.
  if (e.kind == MessageQueue::Kind::Char && !queue().invalid()) keyWaiting_ = false;
}

void SdlPlatform::noteCapsLock(bool capitalTyped) {
  const bool show = (SDL_GetModState() & KMOD_CAPS) != 0 && (capsShown_ || capitalTyped);
  if (show == capsShown_) return;
  capsShown_ = show;
  // The title, not the status bar: the game's own texts stay as they are.
  SDL_SetWindowTitle(window_,
                     show ? (std::string(kWindowTitle) + kCapsLockNote).c_str() : kWindowTitle);
}

void SdlPlatform::toggleFullScreen() {
  if (!mode_.fullScreen() && !fullScreenOffered(window_)) {
    std::fprintf(stderr,
                 "vintaro: no full screen: no window manager offers it; the window stays as it "
                 "is\n");
    return;
  }
  if (!mode_.toggle(window_)) {
    std::fprintf(stderr, "vintaro: no full screen (%s); the window stays as it is\n",
                 SDL_GetError());
    return;
  }
  applyLayout();
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
  if (!windowAlive() || !shown()) return;
  if (!client_->present(bar_.get())) return;
  if (timingEnabled()) logFrameTimes();
  // The first frame is on the screen: now the pads, which it did not need.
  pads_.start();
}

void SdlPlatform::logFrameTimes() {
  const TimePoint now = timingNow();
  if (!firstFrameLogged_) {
    firstFrameLogged_ = true;
    timespec cpu{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    // The processor time too: far steadier than the wall clock on a busy machine.
    timingLog("first-frame-ms=%.1f cpu-ms=%.1f epoch=%.6f", timingMs(processStart(), now),
              static_cast<double>(cpu.tv_sec) * 1e3 + static_cast<double>(cpu.tv_nsec) / 1e6,
              epochSeconds());
  }
  if (keyWaiting_) {
    keyWaiting_ = false;
    timingLog("key-to-frame-ms=%.3f", timingMs(keyTime_, now));
  }
}

void SdlPlatform::setTimer(Handle window, int periodMs) {
  MessagePump::setTimer(window, periodMs);
  tickedBefore_ = false;
}

void SdlPlatform::killTimer(Handle window) {
  MessagePump::killTimer(window);
  tickedBefore_ = false;
}

bool SdlPlatform::openBox(const char* text, const char* caption, BoxIcon icon) {
  box_ = std::make_unique<MessageBoxWindow>(cp932ToUtf8(caption), cp932ToUtf8(text), icon,
                                            shown() ? window_ : nullptr,
                                            client_ != nullptr ? client_->layout().scale : 1);
  if (box_->ok()) return true;
  box_.reset();
  return false;
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

}  // namespace vintaro::sdl
