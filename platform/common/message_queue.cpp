#include "platform/common/message_queue.h"

#include <algorithm>

namespace vintaro {

void MessageQueue::setTimer(Time now, std::chrono::milliseconds period) {
  timerRunning_ = true;
  tickPending_ = false;
  period_ = std::max(period, kMinTimerPeriod);
  next_ = now + period_;
}

void MessageQueue::killTimer() {
  timerRunning_ = false;
  tickPending_ = false;
}

void MessageQueue::advanceTo(Time now) {
  if (!timerRunning_ || next_ > now) return;
  tickPending_ = true;
  // Jump over every expiry up to now: they collapse into the one tick.
  next_ += ((now - next_) / period_ + 1) * period_;
}

std::optional<MessageQueue::Time> MessageQueue::nextExpiry() const {
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
