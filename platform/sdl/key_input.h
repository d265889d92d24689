// What the keyboard gives the game: characters, as Windows' TranslateMessage
// would make them. Pure logic: no SDL calls.
#pragma once

#include <string_view>
#include <vector>

namespace vintaro::sdl {

// The characters (Unicode code points) of an SDL text-input event, which
// carries UTF-8. Malformed bytes are skipped.
std::vector<unsigned> textInputCharacters(std::string_view utf8);

// The character Windows makes of a key that gives SDL no text input: Enter
// 0x0D, Backspace 0x08, Tab 0x09, Escape 0x1B (SDL drops control characters
// from its text input). 0 for every other key. `keycode` is an SDL_Keycode.
unsigned controlCharacterOfKey(int keycode);

// A paddle key's letter in capitals (A S X C), as Caps Lock types it: the
// game, case-sensitive, does nothing with it.
bool isCapitalPaddleLetter(unsigned character);

// What the title adds while Caps Lock keeps the paddle letters from the game.
inline constexpr char kCapsLockNote[] = " - Caps Lock is on: the paddle keys are a s x c";

// F11 and Alt+Enter switch full screen on and off; they give no character.
// `modifiers` is an SDL_Keymod.
bool isFullScreenKey(int keycode, unsigned modifiers);

}  // namespace vintaro::sdl
