#include "platform/headless/headless_platform.h"

#include <cstdio>
#include <cstring>

#include "app/window.h"
#include "platform/common/cp932.h"
#include "render/tables.h"

namespace vintaro {

namespace {

// A CP932 text as the trace shows it: UTF-8 between quotes, with \n, \" and \\.
std::string quoted(const char* text) {
  std::string out = "\"";
  for (const char c : cp932ToUtf8(text)) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

}  // namespace

HeadlessPlatform::HeadlessPlatform(std::ostream* trace)
    : trace_(trace), pixels_(static_cast<std::size_t>(kWidth * kHeight * 3), 0) {}

void HeadlessPlatform::line(const std::string& text) { *trace_ << clock_ << ' ' << text << '\n'; }

Rgb HeadlessPlatform::pixel(int x, int y) const {
  const std::size_t at = static_cast<std::size_t>((y * kWidth + x) * 3);
  return Rgb{pixels_[at], pixels_[at + 1], pixels_[at + 2]};
}

void HeadlessPlatform::fillBackground() {
  // One row by hand, the others copied from it: a fill per erase adds up.
  const std::size_t row = static_cast<std::size_t>(kWidth * 3);
  for (std::size_t i = 0; i < row; i += 3) {
    pixels_[i] = kBackground.r;
    pixels_[i + 1] = kBackground.g;
    pixels_[i + 2] = kBackground.b;
  }
  for (std::size_t at = row; at < pixels_.size(); at += row) {
    std::memcpy(pixels_.data() + at, pixels_.data(), row);
  }
}

Handle HeadlessPlatform::createMainWindow(GameState& state) {
  state_ = &state;
  windowAlive_ = true;
  windowProc(state, *this, &windowTag_, Message::Create);
  return &windowTag_;
}

Handle HeadlessPlatform::createStatusBar(Handle, const char* text) {
  if (tracing()) line("status 0 " + quoted(text));
  return &statusTag_;
}

void HeadlessPlatform::showWindow(Handle) {
  if (tracing()) line("show");
  fillBackground();
  dispatchPaint(false);
}

Handle HeadlessPlatform::openMidi() {
  if (tracing()) line("midiopen");
  return &midiTag_;
}

void HeadlessPlatform::closeMidi(Handle) {
  if (tracing()) line("midiclose");
}

int HeadlessPlatform::runMessageLoop(GameState&) {
  runUntilIdle();
  while (!quitTaken_) {
    if (!driver_ || !driver_(*this)) {
      if (!quitTaken_) close();
    }
  }
  return quitCode_;
}

void HeadlessPlatform::runUntilIdle() {
  while (!quitTaken_) {
    const MessageQueue::Entry e = queue_.take();
    switch (e.kind) {
      case MessageQueue::Kind::None:
        return;
      case MessageQueue::Kind::Char:
        windowProc(*state_, *this, &windowTag_, Message::Char, e.code);
        break;
      case MessageQueue::Kind::Close:
        // The default handling of a close destroys the window.
        windowAlive_ = false;
        queue_.windowDestroyed();
        windowProc(*state_, *this, &windowTag_, Message::Destroy);
        break;
      case MessageQueue::Kind::Quit:
        quitTaken_ = true;
        quitCode_ = static_cast<int>(e.code);
        return;
      case MessageQueue::Kind::Paint:
        dispatchPaint(e.erase);
        break;
      case MessageQueue::Kind::Timer:
        windowProc(*state_, *this, &windowTag_, Message::Timer);
        break;
    }
  }
}

void HeadlessPlatform::dispatchPaint(bool erase) {
  if (tracing()) line("paint");
  eraseOnBegin_ = erase;
  windowProc(*state_, *this, &windowTag_, Message::Paint);
  eraseOnBegin_ = false;
}

void HeadlessPlatform::key(unsigned character) {
  if (quitTaken_ || !windowAlive_) return;
  queue_.postChar(character);
  runUntilIdle();
}

void HeadlessPlatform::close() {
  if (quitTaken_ || !windowAlive_) return;
  queue_.postClose();
  runUntilIdle();
}

void HeadlessPlatform::expose() {
  if (quitTaken_ || !windowAlive_) return;
  queue_.invalidate(true);
  runUntilIdle();
}

void HeadlessPlatform::wait(std::int64_t ms) {
  const std::int64_t until = clock_ + ms;
  for (auto next = queue_.nextExpiry(); !quitTaken_ && next && *next <= until;
       next = queue_.nextExpiry()) {
    clock_ = std::max(clock_, *next);
    queue_.advanceTo(clock_);
    runUntilIdle();
  }
  // A game that has quit is over: the rest of the wait is not its time.
  if (!quitTaken_) clock_ = std::max(clock_, until);
}

void HeadlessPlatform::tick() {
  const auto next = queue_.nextExpiry();
  if (quitTaken_ || !next) return;
  clock_ = std::max(clock_, *next);
  queue_.advanceTo(clock_);
  runUntilIdle();
}

void HeadlessPlatform::traceState() {
  if (tracing() && state_ != nullptr) line("state " + formatStateLine(*state_));
}

bool HeadlessPlatform::beginPaint(Handle) {
  if (eraseOnBegin_) fillBackground();
  return eraseOnBegin_;
}

void HeadlessPlatform::setPixel(int x, int y, Rgb c) {
  if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return;
  const std::size_t at = static_cast<std::size_t>((y * kWidth + x) * 3);
  pixels_[at] = c.r;
  pixels_[at + 1] = c.g;
  pixels_[at + 2] = c.b;
}

void HeadlessPlatform::invalidate(Handle, bool erase) {
  if (tracing()) line(erase ? "invalidate 1" : "invalidate 0");
  if (windowAlive_) queue_.invalidate(erase);
}

void HeadlessPlatform::setTimer(Handle, int periodMs) {
  if (tracing()) line("timer " + std::to_string(periodMs));
  if (windowAlive_) queue_.setTimer(clock_, periodMs);
}

void HeadlessPlatform::killTimer(Handle) {
  if (tracing()) line("killtimer");
  queue_.killTimer();
}

void HeadlessPlatform::messageBox(Handle, const char* text, const char* caption, BoxIcon icon) {
  // Answered with OK at once.
  if (tracing()) {
    line(std::string("msgbox ") + (icon == BoxIcon::Warning ? "warning " : "error ") +
         quoted(caption) + ' ' + quoted(text));
  }
}

void HeadlessPlatform::setStatusText(Handle statusBar, int part, const char* text) {
  if (statusBar == nullptr) return;
  if (tracing()) line("status " + std::to_string(part) + ' ' + quoted(text));
}

void HeadlessPlatform::midiShortMsg(Handle, std::uint32_t message) {
  if (!tracing()) return;
  char hex[16];
  std::snprintf(hex, sizeof hex, "%08x", message);
  line(std::string("midi ") + hex);
}

void HeadlessPlatform::sleep(int ms) {
  if (tracing()) line("sleep " + std::to_string(ms));
  clock_ += ms;
  queue_.advanceTo(clock_);
}

void HeadlessPlatform::postQuit(int code) {
  if (tracing()) line("quit " + std::to_string(code));
  queue_.postQuit(code);
}

std::string formatStateLine(const GameState& s) {
  std::string out;
  const auto field = [&out](const char* name, int value) {
    if (!out.empty()) out += ' ';
    out += name;
    out += '=';
    out += std::to_string(value);
  };
  field("ballCol", s.ballCol);
  field("ballRow", s.ballRow);
  field("stepX", s.stepX);
  field("stepY", s.stepY);
  field("spin", s.spin);
  field("prevBallCol", s.prevBallCol);
  field("prevBallRow", s.prevBallRow);
  field("lastHitCol", s.lastHitCol);
  field("lastHitRow", s.lastHitRow);
  field("paddleCol", s.paddleCol);
  field("prevPaddleCol", s.prevPaddleCol);
  field("blocksLeft", s.blocksLeft);
  field("score", s.score);
  field("ballsLeft", s.ballsLeft);
  field("paused", s.paused);
  field("finished", s.finished);
  field("paintMode", s.paintMode);
  field("introShown", s.introShown);
  field("intervalMs", s.intervalMs);
  field("timerMs", s.timerMs);
  field("lastNote", s.lastNote);
  out += " grid=";
  for (const std::uint8_t v : s.blockGrid) out += static_cast<char>('0' + v);
  return out;
}

}  // namespace vintaro
