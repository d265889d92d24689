// The game in a browser tab. The page puts "Vintaro.ini" and "Vintaro.gol"
// in the module's working directory, then runs main.
#include <emscripten.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/window.h"
#include "files/data_files.h"
#include "game/game_state.h"
#include "platform/web/web_platform.h"
#include "tools/gol/gol_file.h"

// clang-format off
EM_JS(void, vt_exited, (int code), { Module.host.exited(code); });
// clang-format on

// A picture the player chose, 370 x 280 RGB top row first, packed into the
// working directory's "Vintaro.gol" as vintaro-gol does it. Called by the
// page before main.
extern "C" EMSCRIPTEN_KEEPALIVE int vintaro_pack_picture(const std::uint8_t* rgb) {
  vintaro::gol::Picture picture{
      vintaro::gol::kWidth, vintaro::gol::kHeight,
      std::vector<std::uint8_t>(rgb, rgb + vintaro::gol::kWidth * vintaro::gol::kHeight * 3)};
  std::string error;
  return vintaro::gol::writeFile(vintaro::kPictureFileName, vintaro::gol::pack(picture), error) ? 1
                                                                                                : 0;
}

int main() {
  // The game record holds the 310,800-byte reward picture: not on the stack.
  static vintaro::GameState state;
  vintaro::web::WebPlatform platform;
  const int code = vintaro::runGame(state, platform);
  vt_exited(code);
  return code;
}
