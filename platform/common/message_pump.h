// What the Win32 window manager does for the game, for the platforms that
// have none of their own: messages taken in the queue's order and dispatched
// to windowProc; a close's default handling (the window goes, and its
// destruction reaches the game); paints with the erase flag that beginPaint
// answers; the quit message; and the modal message box as a nested run of the
// same loop, which gives a quit taken inside it back to the loop outside.
// One box at a time: a box asked for while another is up, or while the
// window is going, is answered at once as if OK had been given.
//
// It is also the one door for input, so that a recording of it is exact: a
// character from any device (keyboard, pad, touch) is posted as the game's
// own character, and one held down repeats on the pump's clock.
//
// A platform derives from it and supplies only what is its own: the clock,
// waiting for its next event, turning its events into input, presenting the
// frame, and showing and taking down a box.
#pragma once

#include <chrono>
#include <optional>
#include <vector>

#include "app/platform.h"
#include "app/window.h"
#include "platform/common/message_queue.h"
#include "platform/common/pad_input.h"
#include "platform/common/recorder.h"

namespace vintaro {

class MessagePump : public Platform {
 public:
  using Time = MessageQueue::Time;

  // Platform: the window manager's part.
  int runMessageLoop(GameState& state) override;
  void showWindow(Handle window) override;
  bool beginPaint(Handle window) override;
  void endPaint(Handle window) override;
  void invalidate(Handle window, bool erase) override;
  void setTimer(Handle window, int periodMs) override;
  void killTimer(Handle window) override;
  void messageBox(Handle owner, const char* text, const char* caption, BoxIcon icon) override;
  void postQuit(int code) override;

  // Writes every message the game takes from now on into `recorder` (or
  // nothing, given null): only those of the outermost loop, since a replay
  // answers every box at once.
  void setRecorder(Recorder* recorder) { recorder_ = recorder; }

  bool quitTaken() const { return quitTaken_; }
  const GameState* state() const { return state_; }
  // The ball is in play: the window shown, the game neither paused nor
  // finished, no box up.
  bool ballInPlay() const;

 protected:
  // Ends a platform's createMainWindow: `window` is made, and the create
  // message reaches the game.
  Handle attachWindow(GameState& state, Handle window);

  // Input. Whatever comes for a window that is not shown or is gone is lost.
  // A character from any device: the game's own input.
  void postCharacter(unsigned character);
  // A character held down: posted now, again after `delay`, then every
  // `interval` until it is released.
  void holdCharacter(unsigned character, std::chrono::milliseconds delay,
                     std::chrono::milliseconds interval);
  void releaseCharacter(unsigned character);
  // A pad's control pressed or let go, as the characters it stands for.
  void padPressed(PadControl control);
  void padReleased(PadControl control);
  // A finger or pointer over the board at `boardX`: the paddle is walked
  // under it with the game's own 4- and 1-column keys, one at a time when no
  // other input waits, while the ball is in play; until stopSteering().
  void steerPaddleUnder(int boardX);
  void stopSteering();
  // A space, as the player would give it, only if it makes the ball's being
  // in play what is asked: decided once the input before it is handled, so
  // that a space already on its way is not undone.
  void requestPlaying(bool playing);
  // The user closes the window; a second request is the same close.
  void requestClose();
  // The window system uncovered the window: a repaint with erase.
  void expose();

  // Handles the messages there are, until none is left or the quit is taken.
  void runUntilIdle();

  bool windowAlive() const { return windowAlive_; }
  bool shown() const { return shown_; }
  // The window is closed or about to be: start-up shows nothing more.
  bool ending() const { return !windowAlive_ || closing_ || endRequested(); }
  MessageQueue& queue() { return queue_; }

  // The platform's own part.
  virtual Time currentTime() const = 0;
  // Turns the platform's events that came meanwhile into input; never waits.
  virtual void pollEvents() {}
  // Waits for an event of the platform, or until `until` when there is one.
  virtual void waitForEvent(std::optional<Time> until) = 0;
  // Puts what was painted on the screen.
  virtual void present() {}
  // The whole client area to the background.
  virtual void eraseClient() = 0;
  // Makes the window visible; the pump then erases and paints it.
  virtual void revealWindow() = 0;
  // The window was destroyed by a close.
  virtual void windowGone() {}
  // Puts a modal box up; answers false when there is none to wait for (the
  // platform answered it at once, or could not show it).
  virtual bool openBox(const char* text, const char* caption, BoxIcon icon) = 0;
  virtual bool boxAnswered() { return true; }
  virtual void closeBox() {}
  // Told to end from outside the window (a signal).
  virtual bool endRequested() const { return false; }
  // Around every message handled, nested ones included.
  virtual void beforeMessage(const MessageQueue::Entry&) {}
  virtual void afterMessage(const MessageQueue::Entry&) {}

 private:
  enum class Step { Handled, Idle, Quit, BoxAnswered };
  Step step(bool inBox);
  void idle();
  void handle(const MessageQueue::Entry& e);
  void postRepeats(Time now);
  // What steering and a play request ask for, when no input waits.
  void postWanted();
  bool playable() const;
  std::optional<Time> nextWake() const;

  struct Held {
    unsigned character;
    Time next;
    std::chrono::milliseconds interval;
  };

  MessageQueue queue_;
  GameState* state_ = nullptr;
  Handle window_ = nullptr;
  Recorder* recorder_ = nullptr;
  std::vector<Held> held_;
  std::optional<int> steerTo_;       // the paddle column asked for
  std::optional<bool> wantPlaying_;  // a space to give if the game is not so
  bool windowAlive_ = false;
  bool shown_ = false;
  bool closing_ = false;
  bool boxUp_ = false;
  bool quitTaken_ = false;
  int exitCode_ = 0;
  bool eraseOnBegin_ = false;
  bool windowErase_ = false;  // the window system asked for an erased repaint
  int handling_ = 0;          // messages being handled, one inside another under a box
};

}  // namespace vintaro
