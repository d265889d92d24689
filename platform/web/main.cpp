// The game in a browser tab. The page puts "Vintaro.ini" and "Vintaro.gol"
// in the module's working directory, then runs main; before that it reads
// the window's geometry from the module, and at any time the recording and
// the game's state.
#include <emscripten.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "app/geometry.h"
#include "app/window.h"
#include "files/data_files.h"
#include "game/game_state.h"
#include "platform/common/pad_input.h"
#include "platform/common/recorder.h"
#include "platform/common/state_line.h"
#include "platform/common/status_bar_frame.h"
#include "platform/web/web_platform.h"
#include "render/tables.h"

// clang-format off
EM_JS(void, vt_exited, (int code), { Module.host.exited(code); });
// clang-format on

namespace {

// Every game is written down, for the page to take when it likes.
vintaro::Recorder recorder;

// The game record holds the 310,800-byte reward picture: not on the stack.
vintaro::GameState state;
bool started = false;

std::string colour(vintaro::Rgb c) {
  return "\"rgb(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) +
         ")\"";
}

std::string rect(const vintaro::BarRect& r) {
  return "{\"x\":" + std::to_string(r.x) + ",\"y\":" + std::to_string(r.y) +
         ",\"w\":" + std::to_string(r.w) + ",\"h\":" + std::to_string(r.h) + "}";
}

std::string fills(const std::vector<vintaro::BarFill>& list) {
  std::string out;
  for (const vintaro::BarFill& f : list) {
    std::string one = rect(f.area);
    one.insert(one.size() - 1, ",\"colour\":" + colour(f.colour));
    out += (out.empty() ? "" : ",") + one;
  }
  return "[" + out + "]";
}

std::string numbers(std::initializer_list<std::pair<const char*, int>> fields) {
  std::string out;
  for (const auto& [name, value] : fields) {
    out += (out.empty() ? "{\"" : ",\"") + std::string(name) + "\":" + std::to_string(value);
  }
  return out + "}";
}

std::string size(int width, int height) {
  return "{\"width\":" + std::to_string(width) + ",\"height\":" + std::to_string(height) + "}";
}

// What the page draws and sizes from the game's own numbers, as JSON: the
// board, the client area (the canvas) and its background, the status bar
// below the board with its parts, borders, size grip (in the bar's pixels)
// and colours, the reward picture, the events the page hands over with the
// pad's controls, and the play states it is told of.
std::string geometryJson() {
  using namespace vintaro;
  const auto parts = statusPartRects(kClientAreaWidth, statusParts);
  std::string partList;
  for (const BarRect& p : parts) partList += (partList.empty() ? "" : ",") + rect(p);
  // The page's bar has always kept the last part's border under the grip.
  return "{\"board\":" + size(clientWidth, clientHeight) +
         ",\"client\":" + size(kClientAreaWidth, kClientAreaHeight) +
         ",\"background\":" + colour(kBackground) +
         ",\"statusBar\":{\"y\":" + std::to_string(clientHeight) +
         ",\"width\":" + std::to_string(kClientAreaWidth) +
         ",\"height\":" + std::to_string(kStatusBarHeight) + ",\"face\":" + colour(kBarFace) +
         ",\"text\":" + colour(kBarText) + ",\"textInset\":" + std::to_string(kTextInset) +
         ",\"parts\":[" + partList + "],\"borders\":" + fills(partBorders(parts)) +
         ",\"grip\":" + fills(sizeGrip(kClientAreaWidth, false)) + "}" +
         ",\"picture\":" + size(kPictureWidth, kPictureHeight) + ",\"events\":" +
         numbers({{"none", web::kNoEvent},
                  {"close", web::kCloseEvent},
                  {"boxAnswered", web::kBoxAnsweredEvent},
                  {"pause", web::kPauseEvent},
                  {"resume", web::kResumeEvent},
                  {"steer", web::kSteerEvent},
                  {"steerEnd", web::kSteerEndEvent},
                  {"padPressed", web::kPadPressedEvent},
                  {"padReleased", web::kPadReleasedEvent},
                  {"stick", web::kStickEvent}}) +
         ",\"pad\":" +
         numbers({{"left", static_cast<int>(PadControl::Left)},
                  {"right", static_cast<int>(PadControl::Right)},
                  {"farLeft", static_cast<int>(PadControl::FarLeft)},
                  {"farRight", static_cast<int>(PadControl::FarRight)},
                  {"start", static_cast<int>(PadControl::Start)}}) +
         ",\"play\":" +
         numbers({{"paused", static_cast<int>(web::Play::Paused)},
                  {"playing", static_cast<int>(web::Play::Playing)},
                  {"over", static_cast<int>(web::Play::Over)}}) +
         "}";
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE const char* vintaro_geometry() {
  static const std::string json = geometryJson();
  return json.c_str();
}

// The game so far as a vintaro-replay script.
extern "C" EMSCRIPTEN_KEEPALIVE const char* vintaro_recording() { return recorder.text().c_str(); }

// The game's state as vintaro-replay's `state` prints it; empty before main.
extern "C" EMSCRIPTEN_KEEPALIVE const char* vintaro_state() {
  static std::string line;
  line = started ? vintaro::formatStateLine(state) : "";
  return line.c_str();
}

// A picture the player chose, RGB top row first, packed into the working
// directory's "Vintaro.gol" as vintaro-gol does it. Called by the page
// before main.
extern "C" EMSCRIPTEN_KEEPALIVE int vintaro_pack_picture(const std::uint8_t* rgb) {
  const std::vector<std::uint8_t> file = vintaro::packPicture(rgb);
  std::FILE* out = std::fopen(vintaro::kPictureFileName, "wb");
  if (out == nullptr) return 0;
  const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  return std::fclose(out) == 0 && written ? 1 : 0;
}

int main() {
  char folder[256];
  recorder.keep(VINTARO_VERSION);
  recorder.folder(::getcwd(folder, sizeof folder) != nullptr ? folder : ".",
                  ::access(vintaro::kSettingsFileName, F_OK) == 0);
  started = true;
  vintaro::web::WebPlatform platform(&recorder);
  const int code = vintaro::runGame(state, platform);
  recorder.finish(state);
  vt_exited(code);
  return code;
}
