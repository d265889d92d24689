#include "platform/web/web_platform.h"

#include <emscripten.h>

#include <algorithm>
#include <cstring>

#include "app/window.h"
#include "game/game_state.h"
#include "render/tables.h"

// The page's side of every call: `Module.host`, given to the module by the
// page that starts it. Texts go over as code page 932 bytes; the page decodes
// them.
// clang-format off
EM_JS(void, vt_createWindow, (const char* title), {
  Module.host.createWindow(UTF8ToString(title));
});
EM_JS(void, vt_showWindow, (), { Module.host.showWindow(); });
EM_JS(void, vt_statusText, (int part, const char* text, int length), {
  Module.host.setStatusText(part, HEAPU8.slice(text, text + length));
});
EM_JS(void, vt_present, (const std::uint8_t* pixels, int width, int height, int x, int y, int w,
                         int h), {
  Module.host.present(new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4), width,
                      height, x, y, w, h);
});
EM_JS(int, vt_openMidi, (), { return Module.host.openMidi() ? 1 : 0; });
EM_JS(void, vt_closeMidi, (), { Module.host.closeMidi(); });
EM_JS(void, vt_midi, (std::uint32_t message), { Module.host.midi(message >>> 0); });
EM_JS(void, vt_openBox, (const char* text, int textLength, const char* caption,
                         int captionLength, int error), {
  Module.host.openBox(HEAPU8.slice(text, text + textLength),
                      HEAPU8.slice(caption, caption + captionLength), error != 0);
});
EM_JS(void, vt_closeBox, (), { Module.host.closeBox(); });
EM_JS(int, vt_nextEvent, (), { return Module.host.nextEvent(); });
EM_JS(void, vt_play, (int play), { Module.host.play(play); });
EM_ASYNC_JS(void, vt_wait, (double timeoutMs), { await Module.host.wait(timeoutMs); });
EM_JS(void, vt_trace, (const char* kind, int code), {
  if (Module.host.trace) Module.host.trace(UTF8ToString(kind), code);
});
// clang-format on

namespace vintaro::web {

namespace {

int length(const char* text) { return static_cast<int>(std::strlen(text)); }

}  // namespace

WebPlatform::WebPlatform(Recorder* recorder)
    : pixels_(static_cast<std::size_t>(clientWidth * clientHeight * 4), 255) {
  dirtyX0_ = dirtyY0_ = 1 << 30;
  dirtyX1_ = dirtyY1_ = -1;
  setRecorder(recorder);
}

// The browser's clock: the pump meets an expiry to the microsecond, and the
// page's timer wakes us no earlier than asked.
MessagePump::Time WebPlatform::currentTime() const {
  return Time(static_cast<Time::rep>(emscripten_get_now() * 1000.0));
}

Handle WebPlatform::createMainWindow(GameState& state) {
  vt_createWindow(kWindowTitle);
  eraseClient();
  return attachWindow(state, &windowTag_);
}

Handle WebPlatform::createStatusBar(Handle, const char* text) {
  vt_statusText(0, text, length(text));
  return &statusTag_;
}

void WebPlatform::revealWindow() { vt_showWindow(); }

Handle WebPlatform::openMidi() { return vt_openMidi() != 0 ? &midiTag_ : nullptr; }

void WebPlatform::closeMidi(Handle midi) {
  if (midi != nullptr) vt_closeMidi();
}

void WebPlatform::pollEvents() {
  for (int e = vt_nextEvent(); e != kNoEvent; e = vt_nextEvent()) takeEvent(e);
}

void WebPlatform::takeEvent(int e) {
  if (e >= 0 && e < kCloseEvent) {
    postCharacter(static_cast<unsigned>(e));
  } else if (e == kCloseEvent) {
    if (shown()) requestClose();
  } else if (e == kBoxAnsweredEvent) {
    boxAnswered_ = true;
  } else if (e == kPauseEvent || e == kResumeEvent) {
    requestPlaying(e == kResumeEvent);
  } else if (e == kSteerEndEvent) {
    stopSteering();
  } else if (e >= kSteerEvent && e < kEventEnd) {
    steerPaddleUnder(e - kSteerEvent);
  } else if (e >= kStickEvent && e < kSteerEvent) {
    const PadStick::Held before = stick_.held();
    const PadStick::Held now = stick_.update((e - kStickEvent - 1000) / 1000.0);
    if (now == before) return;
    if (before != PadStick::Held::None) {
      padReleased(before == PadStick::Held::Left ? PadControl::Left : PadControl::Right);
    }
    if (now != PadStick::Held::None) {
      padPressed(now == PadStick::Held::Left ? PadControl::Left : PadControl::Right);
    }
  } else if (e >= kPadPressedEvent && e <= kPadPressedEvent + static_cast<int>(PadControl::Start)) {
    padPressed(static_cast<PadControl>(e - kPadPressedEvent));
  } else if (e >= kPadReleasedEvent &&
             e <= kPadReleasedEvent + static_cast<int>(PadControl::Start)) {
    padReleased(static_cast<PadControl>(e - kPadReleasedEvent));
  }
}

void WebPlatform::waitForEvent(std::optional<Time> until) {
  double timeoutMs = -1;
  if (until) {
    timeoutMs = std::max(0.0, static_cast<double>((*until - currentTime()).count()) / 1000.0);
  }
  vt_wait(timeoutMs);
}

void WebPlatform::beforeMessage(const MessageQueue::Entry& e) {
  switch (e.kind) {
    case MessageQueue::Kind::Char:
      vt_trace("char", static_cast<int>(e.code));
      break;
    case MessageQueue::Kind::Close:
      vt_trace("close", 0);
      break;
    case MessageQueue::Kind::Paint:
      vt_trace("paint", e.erase ? 1 : 0);
      break;
    case MessageQueue::Kind::Timer:
      vt_trace("tick", 0);
      break;
    case MessageQueue::Kind::Quit:
    case MessageQueue::Kind::None:
      break;
  }
}

void WebPlatform::afterMessage(const MessageQueue::Entry&) { tellPlay(); }

// Only a change goes over: the page keeps the screen awake and labels its
// play button from it.
void WebPlatform::tellPlay() {
  const GameState* s = state();
  Play play = Play::Paused;
  if (ballInPlay()) {
    play = Play::Playing;
  } else if (s == nullptr || s->finished != 0 || s->ballsLeft == 0 || !windowAlive()) {
    play = Play::Over;
  }
  if (static_cast<int>(play) == play_) return;
  play_ = static_cast<int>(play);
  vt_play(play_);
}

void WebPlatform::eraseClient() {
  // One row by hand, the others copied from it: this is on the way to the
  // first board.
  const std::size_t row = static_cast<std::size_t>(clientWidth * 4);
  for (std::size_t i = 0; i < row; i += 4) {
    pixels_[i] = kBackground.r;
    pixels_[i + 1] = kBackground.g;
    pixels_[i + 2] = kBackground.b;
  }
  for (std::size_t at = row; at < pixels_.size(); at += row) {
    std::memcpy(pixels_.data() + at, pixels_.data(), row);
  }
  dirtyX0_ = dirtyY0_ = 0;
  dirtyX1_ = clientWidth - 1;
  dirtyY1_ = clientHeight - 1;
}

void WebPlatform::setPixel(int x, int y, Rgb c) {
  if (x < 0 || y < 0 || x >= clientWidth || y >= clientHeight) return;
  const std::size_t at = static_cast<std::size_t>((y * clientWidth + x) * 4);
  pixels_[at] = c.r;
  pixels_[at + 1] = c.g;
  pixels_[at + 2] = c.b;
  // Plain comparisons: this runs for every pixel of every paint.
  if (x < dirtyX0_) dirtyX0_ = x;
  if (x > dirtyX1_) dirtyX1_ = x;
  if (y < dirtyY0_) dirtyY0_ = y;
  if (y > dirtyY1_) dirtyY1_ = y;
}

void WebPlatform::present() {
  if (!shown() || dirtyX0_ > dirtyX1_) return;
  vt_present(pixels_.data(), clientWidth, clientHeight, dirtyX0_, dirtyY0_, dirtyX1_ - dirtyX0_ + 1,
             dirtyY1_ - dirtyY0_ + 1);
  dirtyX0_ = dirtyY0_ = 1 << 30;
  dirtyX1_ = dirtyY1_ = -1;
}

bool WebPlatform::openBox(const char* text, const char* caption, BoxIcon icon) {
  // The page gives every key to the box while it is up.
  boxAnswered_ = false;
  vt_trace("box", icon == BoxIcon::Error ? 1 : 0);
  vt_openBox(text, length(text), caption, length(caption), icon == BoxIcon::Error ? 1 : 0);
  return true;
}

void WebPlatform::closeBox() { vt_closeBox(); }

void WebPlatform::setStatusText(Handle statusBar, int part, const char* text) {
  if (statusBar != nullptr) vt_statusText(part, text, length(text));
}

void WebPlatform::midiShortMsg(Handle midi, std::uint32_t message) {
  if (midi != nullptr) vt_midi(message);
}

void WebPlatform::sleep(int ms) {
  // The victory tune: the game is over while it plays.
  tellPlay();
  present();
  emscripten_sleep(static_cast<unsigned>(std::max(ms, 0)));
}

}  // namespace vintaro::web
