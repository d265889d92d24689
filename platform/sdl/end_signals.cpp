#include "platform/sdl/end_signals.h"

#include <fcntl.h>
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

}  // namespace

EndSignals::EndSignals(std::function<void()> wake) : wake_(std::move(wake)) {
  if (pipe2(pipe_, O_CLOEXEC) != 0) return;
  fcntl(pipe_[1], F_SETFL, fcntl(pipe_[1], F_GETFL) | O_NONBLOCK);
  writeEnd = pipe_[1];
  watcher_ = std::thread([this] { watch(); });
  struct sigaction action = {};
  action.sa_handler = onEndSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &saved_[i]);
}

EndSignals::~EndSignals() {
  if (!watcher_.joinable()) return;
  for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &saved_[i], nullptr);
  const char byte = kStop;
  while (write(pipe_[1], &byte, 1) < 0 && errno == EINTR) {
  }
  watcher_.join();
  writeEnd = -1;
  close(pipe_[0]);
  close(pipe_[1]);
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
