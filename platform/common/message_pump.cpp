#include "platform/common/message_pump.h"

#include <algorithm>
#include <cmath>

#include "render/painter.h"

namespace vintaro {

namespace {

using Kind = MessageQueue::Kind;

Message messageOf(Kind kind) {
  switch (kind) {
    case Kind::Char:
      return Message::Char;
    case Kind::Close:
      return Message::Destroy;
    case Kind::Paint:
      return Message::Paint;
    default:
      return Message::Timer;
  }
}

}  // namespace

Handle MessagePump::attachWindow(GameState& state, Handle window) {
  state_ = &state;
  window_ = window;
  windowAlive_ = true;
  windowProc(state, *this, window, Message::Create);
  return window;
}

int MessagePump::runMessageLoop(GameState&) {
  while (!quitTaken_) {
    if (step(false) == Step::Idle) idle();
  }
  present();
  return exitCode_;
}

void MessagePump::runUntilIdle() {
  while (!quitTaken_ && step(false) == Step::Handled) {
  }
}

MessagePump::Step MessagePump::step(bool inBox) {
  pollEvents();
  if (inBox && boxAnswered()) return Step::BoxAnswered;
  const Time t = currentTime();
  postRepeats(t);
  postWanted();
  queue_.advanceTo(t);
  const MessageQueue::Entry e = queue_.take();
  switch (e.kind) {
    case Kind::None:
      return Step::Idle;
    case Kind::Quit:
      if (inBox) {
        // As a Win32 box does: the box goes, and the quit message is left
        // for the loop outside.
        queue_.postQuit(static_cast<int>(e.code));
      } else {
        quitTaken_ = true;
        exitCode_ = static_cast<int>(e.code);
      }
      return Step::Quit;
    default:
      handle(e);
      return Step::Handled;
  }
}

void MessagePump::idle() {
  present();
  waitForEvent(nextWake());
}

void MessagePump::handle(const MessageQueue::Entry& e) {
  beforeMessage(e);
  const Message message = messageOf(e.kind);
  if (recorder_ != nullptr && handling_ == 0) {
    recorder_->take(message, e.code, e.kind == Kind::Paint && e.erase && windowErase_);
  }
  if (e.kind == Kind::Close) {
    // The default handling of a close: the window goes, and its destruction
    // reaches the game as the destroy message.
    windowAlive_ = false;
    held_.clear();
    queue_.windowDestroyed();
    windowGone();
  }
  const bool paint = e.kind == Kind::Paint;
  if (paint) {
    windowErase_ = false;
    eraseOnBegin_ = e.erase;
  }
  ++handling_;
  windowProc(*state_, *this, window_, message, e.code);
  --handling_;
  if (paint) eraseOnBegin_ = false;
  // Nothing after the victory changes how the game ends.
  if (recorder_ != nullptr && state_->finished != 0) recorder_->end("all blocks cleared");
  afterMessage(e);
}

void MessagePump::showWindow(Handle) {
  if (ending()) return;
  if (recorder_ != nullptr) recorder_->settings(state_->ballsLeft, state_->intervalMs);
  shown_ = true;
  revealWindow();
  // Showing erases the client area to the background; then the first paint
  // is done at once (ShowWindow and UpdateWindow).
  eraseClient();
  handle({Kind::Paint, 0, false});
}

bool MessagePump::beginPaint(Handle) {
  if (eraseOnBegin_) eraseClient();
  return eraseOnBegin_;
}

void MessagePump::endPaint(Handle) { present(); }

void MessagePump::invalidate(Handle, bool erase) {
  if (windowAlive_) queue_.invalidate(erase);
}

void MessagePump::setTimer(Handle, int periodMs) {
  if (windowAlive_) queue_.setTimer(currentTime(), std::chrono::milliseconds(periodMs));
}

void MessagePump::killTimer(Handle) { queue_.killTimer(); }

void MessagePump::postQuit(int code) { queue_.postQuit(code); }

void MessagePump::messageBox(Handle, const char* text, const char* caption, BoxIcon icon) {
  if (ending() || boxUp_) return;
  // What the game showed before the box (the final score) is on screen first.
  present();
  if (!openBox(text, caption, icon)) return;
  // Ticks and paints go on beneath the box until it is answered.
  boxUp_ = true;
  for (Step s = step(true); s != Step::Quit && s != Step::BoxAnswered; s = step(true)) {
    if (s == Step::Idle) idle();
  }
  boxUp_ = false;
  closeBox();
}

void MessagePump::postCharacter(unsigned character) {
  if (windowAlive_ && shown_) queue_.postChar(character);
}

void MessagePump::holdCharacter(unsigned character, std::chrono::milliseconds delay,
                                std::chrono::milliseconds interval) {
  if (!windowAlive_ || !shown_) return;
  releaseCharacter(character);
  postCharacter(character);
  held_.push_back({character, currentTime() + delay, interval});
}

void MessagePump::releaseCharacter(unsigned character) {
  std::erase_if(held_, [character](const Held& h) { return h.character == character; });
}

void MessagePump::padPressed(PadControl control) {
  const PadKey key = padKey(control);
  if (key.repeats) {
    holdCharacter(key.character, kPadRepeatDelay, kPadRepeatInterval);
  } else {
    postCharacter(key.character);
  }
}

void MessagePump::padReleased(PadControl control) { releaseCharacter(padKey(control).character); }

bool MessagePump::playable() const {
  return state_ != nullptr && windowAlive_ && shown_ && !closing_ && !boxUp_ &&
         !queue_.quitPosted() && state_->finished == 0;
}

bool MessagePump::ballInPlay() const { return playable() && state_->paused == 0; }

void MessagePump::steerPaddleUnder(int boardX) {
  // The column that centres the paddle on the finger.
  const double centre = tileX(0) + (kPaddleLength - 1) / 2.0;
  const int column = static_cast<int>(std::lround((boardX - centre) / (tileX(1) - tileX(0))));
  steerTo_ = std::clamp(column, 0, kMaxPaddleCol);
}

void MessagePump::stopSteering() { steerTo_.reset(); }

void MessagePump::requestPlaying(bool playing) { wantPlaying_ = playing; }

void MessagePump::postWanted() {
  if (queue_.inputPending()) return;
  if (!playable()) {
    // Nothing to pause or resume: a later game is not started by it.
    wantPlaying_.reset();
    return;
  }
  if (wantPlaying_) {
    const bool toggle = *wantPlaying_ != (state_->paused == 0);
    wantPlaying_.reset();
    if (toggle) {
      postCharacter(' ');
      return;
    }
  }
  if (!steerTo_ || state_->paused != 0) return;
  const int distance = *steerTo_ - state_->paddleCol;
  if (distance <= -4) {
    postCharacter('a');
  } else if (distance < 0) {
    postCharacter('x');
  } else if (distance >= 4) {
    postCharacter(';');
  } else if (distance > 0) {
    postCharacter('.');
  }
}

void MessagePump::postRepeats(Time t) {
  for (Held& h : held_) {
    if (h.next > t) continue;
    postCharacter(h.character);
    // One repeat for a wait that passed over several: the game never gets
    // a burst of steps it did not see coming.
    h.next += h.interval;
    if (h.next <= t) h.next = t + h.interval;
  }
}

std::optional<MessagePump::Time> MessagePump::nextWake() const {
  std::optional<Time> wake = queue_.nextExpiry();
  for (const Held& h : held_) {
    if (!wake || h.next < *wake) wake = h.next;
  }
  return wake;
}

void MessagePump::requestClose() {
  if (!windowAlive_ || closing_) return;
  closing_ = true;
  queue_.postClose();
}

void MessagePump::expose() {
  if (!windowAlive_ || !shown_) return;
  queue_.invalidate(true);
  windowErase_ = true;
}

}  // namespace vintaro
