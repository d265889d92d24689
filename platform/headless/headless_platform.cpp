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

void HeadlessPlatform::eraseClient() {
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
  return attachWindow(state, &windowTag_);
}

Handle HeadlessPlatform::createStatusBar(Handle, const char* text) {
  if (tracing()) line("status 0 " + quoted(text));
  return &statusTag_;
}

void HeadlessPlatform::revealWindow() {
  if (tracing()) line("show");
}

Handle HeadlessPlatform::openMidi() {
  if (tracing()) line("midiopen");
  return &midiTag_;
}

void HeadlessPlatform::closeMidi(Handle) {
  if (tracing()) line("midiclose");
}

void HeadlessPlatform::waitForEvent(std::optional<Time>) {
  if (!driver_ || !driver_(*this)) {
    if (!quitTaken()) close();
  }
}

void HeadlessPlatform::beforeMessage(const MessageQueue::Entry& e) {
  if (e.kind == MessageQueue::Kind::Paint && tracing()) line("paint");
}

std::optional<std::int64_t> HeadlessPlatform::nextExpiry() {
  const auto next = queue().nextExpiry();
  if (!next) return std::nullopt;
  return std::chrono::duration_cast<std::chrono::milliseconds>(*next).count();
}

void HeadlessPlatform::key(unsigned character) {
  if (quitTaken() || !windowAlive()) return;
  postCharacter(character);
  runUntilIdle();
}

void HeadlessPlatform::close() {
  if (quitTaken() || !windowAlive()) return;
  requestClose();
  runUntilIdle();
}

void HeadlessPlatform::expose() {
  if (quitTaken() || !windowAlive()) return;
  MessagePump::expose();
  runUntilIdle();
}

void HeadlessPlatform::wait(std::int64_t ms) {
  const std::int64_t until = clock_ + ms;
  for (auto next = nextExpiry(); !quitTaken() && next && *next <= until; next = nextExpiry()) {
    clock_ = std::max(clock_, *next);
    runUntilIdle();
  }
  // A game that has quit is over: the rest of the wait is not its time.
  if (!quitTaken()) clock_ = std::max(clock_, until);
}

void HeadlessPlatform::tick() {
  const auto next = nextExpiry();
  if (quitTaken() || !next) return;
  clock_ = std::max(clock_, *next);
  runUntilIdle();
}

void HeadlessPlatform::traceState() {
  if (tracing() && state() != nullptr) line("state " + formatStateLine(*state()));
}

void HeadlessPlatform::setPixel(int x, int y, Rgb c) {
  if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return;
  const std::size_t at = static_cast<std::size_t>((y * kWidth + x) * 3);
  pixels_[at] = c.r;
  pixels_[at + 1] = c.g;
  pixels_[at + 2] = c.b;
}

void HeadlessPlatform::invalidate(Handle window, bool erase) {
  if (tracing()) line(erase ? "invalidate 1" : "invalidate 0");
  MessagePump::invalidate(window, erase);
}

void HeadlessPlatform::setTimer(Handle window, int periodMs) {
  if (tracing()) line("timer " + std::to_string(periodMs));
  MessagePump::setTimer(window, periodMs);
}

void HeadlessPlatform::killTimer(Handle window) {
  if (tracing()) line("killtimer");
  MessagePump::killTimer(window);
}

void HeadlessPlatform::messageBox(Handle owner, const char* text, const char* caption,
                                  BoxIcon icon) {
  // Answered with OK at once.
  if (tracing()) {
    line(std::string("msgbox ") + (icon == BoxIcon::Warning ? "warning " : "error ") +
         quoted(caption) + ' ' + quoted(text));
  }
  MessagePump::messageBox(owner, text, caption, icon);
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
  // Expiries passed over leave one tick pending.
  queue().advanceTo(currentTime());
}

void HeadlessPlatform::postQuit(int code) {
  if (tracing()) line("quit " + std::to_string(code));
  MessagePump::postQuit(code);
}

}  // namespace vintaro
