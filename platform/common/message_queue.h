// The Win32 message order, for platforms that have no such queue of their
// own: at every instant queued input first, one message at a time, then the
// quit message, then one paint if the window is invalid, then one timer tick
// if one is pending. The caller owns the clock (virtual or real).
#pragma once

#include <chrono>
#include <deque>
#include <optional>

namespace vintaro {

class MessageQueue {
 public:
  // An instant of the caller's clock, counted from its start: a real clock
  // meets an expiry to the microsecond.
  using Time = std::chrono::microseconds;

  // The window system's shortest timer period.
  static constexpr std::chrono::milliseconds kMinTimerPeriod{10};

  enum class Kind { None, Char, Close, Quit, Paint, Timer };
  struct Entry {
    Kind kind = Kind::None;
    unsigned code = 0;   // the character of a Char, the exit code of a Quit
    bool erase = false;  // for a Paint: the background is to be erased first
  };

  void postChar(unsigned character) { input_.push_back({Kind::Char, character, false}); }
  void postClose() { input_.push_back({Kind::Close, 0, false}); }
  void postQuit(int code) {
    quit_ = true;
    quitCode_ = code;
  }

  void invalidate(bool erase) {
    invalid_ = true;
    erase_ = erase_ || erase;
  }

  // Restarts the cadence from `now`: expiries at now + k * max(period, 10 ms).
  // A tick still pending from the old timer is dropped.
  void setTimer(Time now, std::chrono::milliseconds period);
  void killTimer();

  // Takes every expiry up to and including `now`; at most one tick is pending.
  void advanceTo(Time now);

  // When the running timer next expires, if it runs.
  std::optional<Time> nextExpiry() const;
  // The running timer's period, the minimum applied.
  std::chrono::milliseconds period() const { return period_; }

  // The next message in order, taken off the queue; Kind::None when idle.
  Entry take();

  // The window is gone: nothing more is painted or ticked for it.
  void windowDestroyed();

  bool tickPending() const { return tickPending_; }
  bool inputPending() const { return !input_.empty(); }
  bool invalid() const { return invalid_; }
  bool quitPosted() const { return quit_; }

 private:
  std::deque<Entry> input_;
  bool quit_ = false;
  int quitCode_ = 0;
  bool invalid_ = false;
  bool erase_ = false;
  bool timerRunning_ = false;
  bool tickPending_ = false;
  std::chrono::milliseconds period_{0};
  Time next_{0};
};

}  // namespace vintaro
