// Game controllers on the desktop, through SDL's game controller interface:
// every pad SDL knows a mapping for, plugged in before or during play. Its
// events become the pad controls of platform/common/pad_input.h, pressed and
// released, which the pump turns into the game's own characters. A control
// held by two sources at once (the d-pad and the stick, or two pads) is let
// go when the last one lets go, and a pad unplugged lets go of all it held.
#pragma once

#include <SDL.h>

#include <array>
#include <functional>
#include <vector>

#include "platform/common/pad_input.h"

namespace vintaro::sdl {

class GamePads {
 public:
  // `press` and `release` get the pad controls as they change.
  GamePads(std::function<void(PadControl)> press, std::function<void(PadControl)> release);
  ~GamePads() { close(); }
  GamePads(const GamePads&) = delete;
  GamePads& operator=(const GamePads&) = delete;

  // Starts SDL's game controllers, once; the pads already there come as
  // events.
  void start();
  // Closes the pads and SDL's game controllers; before SDL_Quit.
  void close();
  // Reads the pads' state into events. The game's own loop does it rather
  // than SDL, so that it waits for the window system, not polls.
  void update();
  // A pad is open, so the loop must look at it now and then.
  bool anyOpen() const { return !pads_.empty(); }

  // Takes a controller event; answers whether it was one. `enabled` false (a
  // box is up): presses are dropped, releases and unplugging still count.
  bool take(const SDL_Event& e, bool enabled);

 private:
  static constexpr std::size_t kControls = 5;
  struct Pad {
    SDL_JoystickID id;
    SDL_GameController* controller;
    PadStick stick;
    std::array<int, kControls> holds{};  // sources holding each control
  };

  Pad* find(SDL_JoystickID id);
  void hold(Pad& pad, PadControl control, bool down);
  void unplug(SDL_JoystickID id);

  std::function<void(PadControl)> press_, release_;
  std::vector<Pad> pads_;
  std::array<int, kControls> held_{};  // pads holding each control
  bool tried_ = false;
  bool started_ = false;
};

}  // namespace vintaro::sdl
