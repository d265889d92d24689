#include "app/message_queue.h"

#include <algorithm>

namespace vintaro {

void MessageQueue::setTimer(std::int64_t now, std::int64_t periodMs) {
  timerRunning_ = true;
  tickPending_ = false;
  period_ = std::max(periodMs, kMinTimerPeriodMs);
  next_ = now + period_;
}

void MessageQueue::killTimer() {
  timerRunning_ = false;
  tickPending_ = false;
}

void MessageQueue::advanceTo(std::int64_t now) {
  if (!timerRunning_ || next_ > now) return;
  tickPending_ = true;
  // Jump over every expiry up to now: they collapse into the one tick.
  next_ += ((now - next_) / period_ + 1) * period_;
}

std::optional<std::int64_t> MessageQueue::nextExpiry() const {
  if (!timerRunning_) return std::nullopt;
  return next_;
}

MessageQueue::Entry MessageQueue::take() {
  if (!input_.empty()) {
    const Entry e = input_.front();
    input_.pop_front();
    return e;
  }
  if (quit_) {
    quit_ = false;
    return {Kind::Quit, static_cast<unsigned>(quitCode_), false};
  }
  if (invalid_) {
    const Entry e{Kind::Paint, 0, erase_};
    invalid_ = false;
    erase_ = false;
    return e;
  }
  if (tickPending_) {
    tickPending_ = false;
    return {Kind::Timer, 0, false};
  }
  return {};
}

void MessageQueue::windowDestroyed() {
  killTimer();
  invalid_ = false;
  erase_ = false;
}

}  // namespace vintaro
