#include "platform/sdl/end_signals.h"

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace vintaro::sdl {

namespace {

constexpr int kSignals[3] = {SIGTERM, SIGINT, SIGHUP};
constexpr char kSignalled = 'S';
constexpr char kStop = 'Q';

volatile std::sig_atomic_t writeEnd = -1;

extern "C" void onEndSignal(int) {
  const int saved = errno;
  const char byte = kSignalled;
  // The write end does not block: with the pipe full a byte is waiting anyway.
  [[maybe_unused]] const ssize_t written = write(writeEnd, &byte, 1);
  errno = saved;
}

sigset_t endSignalSet() {
  sigset_t set;
  sigemptyset(&set);
  for (const int s : kSignals) sigaddset(&set, s);
  return set;
}

void maskEndSignals(int how) {
  const sigset_t set = endSignalSet();
  pthread_sigmask(how, &set, nullptr);
}

}  // namespace

void holdEndSignals() { maskEndSignals(SIG_BLOCK); }

EndSignals::EndSignals(std::function<void()> wake) : wake_(std::move(wake)) {
  const sigset_t set = endSignalSet();
  sigset_t before;
  pthread_sigmask(SIG_BLOCK, &set, &before);
  wereHeld_ = sigismember(&before, SIGTERM) == 1;
  if (pipe2(pipe_, O_CLOEXEC) == 0) {
    fcntl(pipe_[1], F_SETFL, fcntl(pipe_[1], F_GETFL) | O_NONBLOCK);
    writeEnd = pipe_[1];
    // Started while the signals are held: the watcher never takes one.
    watcher_ = std::thread([this] { watch(); });
    struct sigaction action = {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &saved_[i]);
  }
  // A signal that waited is taken now.
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

EndSignals::~EndSignals() {
  if (!watcher_.joinable()) return;
  maskEndSignals(SIG_BLOCK);
  for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &saved_[i], nullptr);
  const char byte = kStop;
  while (write(pipe_[1], &byte, 1) < 0 && errno == EINTR) {
  }
  watcher_.join();
  writeEnd = -1;
  close(pipe_[0]);
  close(pipe_[1]);
  if (!wereHeld_) maskEndSignals(SIG_UNBLOCK);
}

void EndSignals::watch() {
  for (;;) {
    char bytes[64];
    const ssize_t got = read(pipe_[0], bytes, sizeof bytes);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return;
    bool signalled = false;
    for (ssize_t i = 0; i < got; ++i) {
      if (bytes[i] == kStop) return;
      signalled = signalled || bytes[i] == kSignalled;
    }
    if (!signalled || raised_.load()) continue;
    {
      const std::lock_guard lock(mutex_);
      raised_.store(true);
    }
    raisedChanged_.notify_all();
    if (wake_) wake_();
  }
}

void EndSignals::sleep(int ms) {
  std::unique_lock lock(mutex_);
  raisedChanged_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return raised_.load(); });
}

}  // namespace vintaro::sdl
