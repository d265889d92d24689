// The game in a browser tab. The page puts "Vintaro.ini" and "Vintaro.gol"
// in the module's working directory, then runs main.
#include <emscripten.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/window.h"
#include "files/data_files.h"
#include "game/game_state.h"
#include "platform/web/web_platform.h"

// clang-format off
EM_JS(void, vt_exited, (int code), { Module.host.exited(code); });
// clang-format on

// A picture the player chose, 370 x 280 RGB top row first, packed into the
// working directory's "Vintaro.gol" as vintaro-gol does it. Called by the
// page before main.
extern "C" EMSCRIPTEN_KEEPALIVE int vintaro_pack_picture(const std::uint8_t* rgb) {
  const std::vector<std::uint8_t> file = vintaro::packPicture(rgb);
  std::FILE* out = std::fopen(vintaro::kPictureFileName, "wb");
  if (out == nullptr) return 0;
  const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  return std::fclose(out) == 0 && written ? 1 : 0;
}

int main() {
  // The game record holds the 310,800-byte reward picture: not on the stack.
  static vintaro::GameState state;
  vintaro::web::WebPlatform platform;
  const int code = vintaro::runGame(state, platform);
  vt_exited(code);
  return code;
}
