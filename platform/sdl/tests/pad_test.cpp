// A game pad in the desktop game: SDL's virtual game controller, plugged in
// while the game is up on the offscreen video driver, plays it.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "game/game_state.h"
#include "platform/sdl/sdl_platform.h"

namespace vintaro::sdl {
namespace {

struct PadGame : SdlPlatform {
  using MessagePump::runUntilIdle;
};

TEST(GamePads, AVirtualPadStartsTheGameMovesThePaddleAndLetsGoWhenUnplugged) {
  ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
  // SDL gives pads only to a window with the keyboard focus, which no
  // offscreen window has.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  auto state = std::make_unique<GameState>();
  PadGame game;
  ASSERT_TRUE(game.registerWindowClass());
  state->mainWindow = game.createMainWindow(*state);
  ASSERT_NE(state->mainWindow, nullptr);
  game.showWindow(state->mainWindow);  // the first frame: the pads are looked for from here

  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  ASSERT_GE(index, 0) << SDL_GetError();
  SDL_Joystick* pad = SDL_JoystickOpen(index);
  ASSERT_NE(pad, nullptr);
  const auto set = [&](int button, bool down) {
    SDL_JoystickSetVirtualButton(pad, button, down ? 1 : 0);
    game.runUntilIdle();
  };
  game.runUntilIdle();

  set(SDL_CONTROLLER_BUTTON_A, true);  // the space bar: the game starts
  set(SDL_CONTROLLER_BUTTON_A, false);
  EXPECT_EQ(state->paused, 0);
  set(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
  set(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
  EXPECT_EQ(state->paddleCol, 15);
  set(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
  set(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, false);
  EXPECT_EQ(state->paddleCol, 19);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 32767);
  game.runUntilIdle();
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 0);
  game.runUntilIdle();
  EXPECT_EQ(state->paddleCol, 20);

  // Held while it is unplugged: let go, no repeat after the repeat delay.
  set(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
  EXPECT_EQ(state->paddleCol, 21);
  SDL_JoystickClose(pad);
  SDL_JoystickDetachVirtual(index);
  game.runUntilIdle();
  std::this_thread::sleep_for(kPadRepeatDelay + std::chrono::milliseconds(100));
  game.runUntilIdle();
  EXPECT_EQ(state->paddleCol, 21);
}

}  // namespace
}  // namespace vintaro::sdl
