// SIGTERM, SIGINT and SIGHUP as a request to end the game, as closing its
// window is. The handler only writes a byte to a pipe; a watcher thread reads
// it, notes the request and calls `wake`, which should wake the game thread
// (an SDL event pushed from there does). The game thread asks raised() where
// it may end. Nothing polls: the watcher sleeps in read().
//
// From the first line of main until the handler is there, and again from the
// watcher's end until the program's, the signals are held back (blocked):
// one that comes then waits, and is taken by the handler or dropped at exit,
// never ending the game by the signal's default action.
#pragma once

#include <atomic>
#include <condition_variable>
#include <csignal>
#include <functional>
#include <mutex>
#include <thread>

namespace vintaro::sdl {

// Blocks SIGTERM, SIGINT and SIGHUP for the calling thread and the threads it
// starts from now on.
void holdEndSignals();

class EndSignals {
 public:
  // One at a time: the handler writes to this instance's pipe.
  explicit EndSignals(std::function<void()> wake);
  // The signals' earlier handling is put back, and held back again if they
  // were held when the watcher started.
  ~EndSignals();
  EndSignals(const EndSignals&) = delete;
  EndSignals& operator=(const EndSignals&) = delete;

  bool watching() const { return watcher_.joinable(); }
  bool raised() const { return raised_.load(); }

  // Sleeps `ms`, or until an ending signal comes.
  void sleep(int ms);

 private:
  void watch();

  std::function<void()> wake_;
  int pipe_[2] = {-1, -1};
  struct sigaction saved_[3] = {};
  bool wereHeld_ = false;
  std::thread watcher_;
  std::atomic<bool> raised_{false};
  std::mutex mutex_;
  std::condition_variable raisedChanged_;
};

}  // namespace vintaro::sdl
