// vintaro: the game on the Linux desktop. It reads "Vintaro.ini" and
// "Vintaro.gol" from the working directory and takes no arguments.
#define SDL_MAIN_HANDLED
#include "app/window.h"
#include "game/game_state.h"
#include "platform/sdl/sdl_platform.h"

int main(int, char**) {
  // The game record holds the 310,800-byte reward picture: not on the stack.
  static vintaro::GameState state;
  int code = 0;
  {
    vintaro::sdl::SdlPlatform platform;
    code = vintaro::runGame(state, platform);
  }
  return code;
}
