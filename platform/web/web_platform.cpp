#include "platform/web/web_platform.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
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
EM_ASYNC_JS(void, vt_wait, (double timeoutMs), { await Module.host.wait(timeoutMs); });
EM_JS(void, vt_trace, (const char* kind, int code), {
  if (Module.host.trace) Module.host.trace(UTF8ToString(kind), code);
});
// clang-format on

namespace vintaro::web {

namespace {

// The browser's clock in microseconds: the queue meets an expiry to the
// microsecond and the page's timer wakes us no earlier than asked.
std::int64_t nowUs() { return static_cast<std::int64_t>(emscripten_get_now() * 1000.0); }

int length(const char* text) { return static_cast<int>(std::strlen(text)); }

}  // namespace

WebPlatform::WebPlatform()
    : pixels_(static_cast<std::size_t>(kBoardWidth * kBoardHeight * 4), 255) {
  dirtyX0_ = dirtyY0_ = 1 << 30;
  dirtyX1_ = dirtyY1_ = -1;
}

Handle WebPlatform::createMainWindow(GameState& state) {
  state_ = &state;
  windowAlive_ = true;
  vt_createWindow(kWindowTitle);
  fillBackground();
  windowProc(state, *this, &windowTag_, Message::Create);
  return &windowTag_;
}

Handle WebPlatform::createStatusBar(Handle, const char* text) {
  vt_statusText(0, text, length(text));
  return &statusTag_;
}

void WebPlatform::showWindow(Handle) {
  shown_ = true;
  vt_showWindow();
  // Showing erases the client area; then the first paint is done at once.
  fillBackground();
  dispatchPaint(false);
}

Handle WebPlatform::openMidi() { return vt_openMidi() != 0 ? &midiTag_ : nullptr; }

void WebPlatform::closeMidi(Handle midi) {
  if (midi != nullptr) vt_closeMidi();
}

void WebPlatform::pullEvents() {
  for (int e = vt_nextEvent(); e != kNoEvent; e = vt_nextEvent()) {
    if (e == kBoxAnsweredEvent) {
      boxAnswered_ = true;
    } else if (e == kCloseEvent) {
      if (windowAlive_ && shown_ && !closing_) {
        closing_ = true;
        queue_.postClose();
      }
    } else if (windowAlive_ && shown_) {
      queue_.postChar(static_cast<unsigned>(e));
    }
  }
}

MessageQueue::Entry WebPlatform::nextMessage(bool inBox) {
  for (;;) {
    pullEvents();
    if (inBox && boxAnswered_) return {};
    queue_.advanceTo(nowUs());
    const MessageQueue::Entry e = queue_.take();
    if (e.kind != MessageQueue::Kind::None) return e;
    present();
    double timeoutMs = -1;
    if (const auto next = queue_.nextExpiry()) {
      timeoutMs = std::max(0.0, static_cast<double>(*next - nowUs()) / 1000.0);
    }
    vt_wait(timeoutMs);
  }
}

int WebPlatform::runMessageLoop(GameState&) {
  for (;;) {
    const MessageQueue::Entry e = nextMessage(false);
    if (e.kind == MessageQueue::Kind::Quit) {
      present();
      return static_cast<int>(e.code);
    }
    dispatch(e);
  }
}

void WebPlatform::dispatch(const MessageQueue::Entry& e) {
  switch (e.kind) {
    case MessageQueue::Kind::Char:
      vt_trace("char", static_cast<int>(e.code));
      windowProc(*state_, *this, &windowTag_, Message::Char, e.code);
      break;
    case MessageQueue::Kind::Close:
      // The default handling of a close: the window goes, and its
      // destruction reaches the game as the destroy message.
      vt_trace("close", 0);
      windowAlive_ = false;
      queue_.windowDestroyed();
      windowProc(*state_, *this, &windowTag_, Message::Destroy);
      break;
    case MessageQueue::Kind::Paint:
      dispatchPaint(e.erase);
      break;
    case MessageQueue::Kind::Timer:
      vt_trace("tick", 0);
      windowProc(*state_, *this, &windowTag_, Message::Timer);
      break;
    case MessageQueue::Kind::Quit:
    case MessageQueue::Kind::None:
      break;
  }
}

void WebPlatform::dispatchPaint(bool erase) {
  vt_trace("paint", erase ? 1 : 0);
  eraseOnBegin_ = erase;
  windowProc(*state_, *this, &windowTag_, Message::Paint);
  eraseOnBegin_ = false;
}

void WebPlatform::fillBackground() {
  for (std::size_t i = 0; i < pixels_.size(); i += 4) {
    pixels_[i] = kBackground.r;
    pixels_[i + 1] = kBackground.g;
    pixels_[i + 2] = kBackground.b;
  }
  dirtyX0_ = dirtyY0_ = 0;
  dirtyX1_ = kBoardWidth - 1;
  dirtyY1_ = kBoardHeight - 1;
}

bool WebPlatform::beginPaint(Handle) {
  if (eraseOnBegin_) fillBackground();
  return eraseOnBegin_;
}

void WebPlatform::setPixel(int x, int y, Rgb c) {
  if (x < 0 || y < 0 || x >= kBoardWidth || y >= kBoardHeight) return;
  const std::size_t at = static_cast<std::size_t>((y * kBoardWidth + x) * 4);
  pixels_[at] = c.r;
  pixels_[at + 1] = c.g;
  pixels_[at + 2] = c.b;
  dirtyX0_ = std::min(dirtyX0_, x);
  dirtyX1_ = std::max(dirtyX1_, x);
  dirtyY0_ = std::min(dirtyY0_, y);
  dirtyY1_ = std::max(dirtyY1_, y);
}

void WebPlatform::endPaint(Handle) { present(); }

void WebPlatform::present() {
  if (!shown_ || dirtyX0_ > dirtyX1_) return;
  vt_present(pixels_.data(), kBoardWidth, kBoardHeight, dirtyX0_, dirtyY0_, dirtyX1_ - dirtyX0_ + 1,
             dirtyY1_ - dirtyY0_ + 1);
  dirtyX0_ = dirtyY0_ = 1 << 30;
  dirtyX1_ = dirtyY1_ = -1;
}

void WebPlatform::invalidate(Handle, bool erase) {
  if (windowAlive_) queue_.invalidate(erase);
}

void WebPlatform::setTimer(Handle, int periodMs) {
  if (!windowAlive_) return;
  // The minimum period is applied in milliseconds, then counted in
  // microseconds.
  const std::int64_t period = std::max<std::int64_t>(periodMs, MessageQueue::kMinTimerPeriodMs);
  queue_.setTimer(nowUs(), period * 1000);
}

void WebPlatform::killTimer(Handle) { queue_.killTimer(); }

void WebPlatform::messageBox(Handle, const char* text, const char* caption, BoxIcon icon) {
  // What the game drew before the box is on the page first. Then the box
  // runs the same loop until it is answered: ticks and paints go on beneath
  // it, while the page gives every key to the box.
  present();
  const bool outerAnswered = boxAnswered_;
  boxAnswered_ = false;
  vt_trace("box", icon == BoxIcon::Error ? 1 : 0);
  vt_openBox(text, length(text), caption, length(caption), icon == BoxIcon::Error ? 1 : 0);
  for (;;) {
    const MessageQueue::Entry e = nextMessage(true);
    if (e.kind == MessageQueue::Kind::None) break;
    if (e.kind == MessageQueue::Kind::Quit) {
      // As a Win32 box does: the quit goes back on the queue for the outer
      // loop, and the box goes.
      queue_.postQuit(static_cast<int>(e.code));
      break;
    }
    dispatch(e);
  }
  vt_closeBox();
  boxAnswered_ = outerAnswered;
}

void WebPlatform::setStatusText(Handle statusBar, int part, const char* text) {
  if (statusBar != nullptr) vt_statusText(part, text, length(text));
}

void WebPlatform::midiShortMsg(Handle midi, std::uint32_t message) {
  if (midi != nullptr) vt_midi(message);
}

void WebPlatform::sleep(int ms) {
  present();
  emscripten_sleep(static_cast<unsigned>(std::max(ms, 0)));
}

void WebPlatform::postQuit(int code) { queue_.postQuit(code); }

}  // namespace vintaro::web
