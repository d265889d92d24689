// vintaro.exe: the game on the Windows desktop.
#include <memory>

#include "app/window.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  // The record holds the picture: too big for the stack.
  auto state = std::make_unique<vintaro::GameState>();
  vintaro::Win32Platform platform(instance, showCommand);
  return vintaro::runGame(*state, platform);
}
