#include "platform/sdl/key_input.h"

#include <SDL_keyboard.h>

namespace vintaro::sdl {

std::vector<unsigned> textInputCharacters(std::string_view utf8) {
  std::vector<unsigned> out;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    int extra = 0;
    unsigned cp = 0;
    if (lead < 0x80) {
      cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1;
      cp = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
      cp = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3;
      cp = lead & 0x07u;
    } else {
      ++i;
      continue;
    }
    if (i + static_cast<std::size_t>(extra) >= utf8.size()) break;  // cut short
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
      if ((c & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = cp << 6 | (c & 0x3Fu);
    }
    if (!ok) {
      ++i;
      continue;
    }
    out.push_back(cp);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

unsigned controlCharacterOfKey(int keycode) {
  switch (keycode) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return 0x0D;
    case SDLK_BACKSPACE:
      return 0x08;
    case SDLK_TAB:
      return 0x09;
    case SDLK_ESCAPE:
      return 0x1B;
    default:
      return 0;
  }
}

bool isCapitalPaddleLetter(unsigned character) {
  return character == 'A' || character == 'S' || character == 'X' || character == 'C';
}

bool isFullScreenKey(int keycode, unsigned modifiers) {
  if (keycode == SDLK_F11) return true;
  return (keycode == SDLK_RETURN || keycode == SDLK_KP_ENTER) && (modifiers & KMOD_ALT) != 0;
}

}  // namespace vintaro::sdl
