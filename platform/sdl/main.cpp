// vintaro: the game on the Linux desktop.
//   vintaro [--scale N] [--record FILE] [--soundfont FILE] [DIR]
// It plays in DIR, or in the folder data_folder.h finds, reading
// "Vintaro.ini" and "Vintaro.gol" there.
#define SDL_MAIN_HANDLED
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/window.h"
#include "game/game_state.h"
#include "platform/common/recorder.h"
#include "platform/sdl/data_folder.h"
#include "platform/sdl/end_signals.h"
#include "platform/sdl/options.h"
#include "platform/sdl/sdl_platform.h"

namespace {

constexpr int kBadCommandLine = 2;

std::string workingDirectory() {
  char buffer[4096];
  return ::getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string(".");
}

// A path given on the command line holds after the game enters its folder.
std::string absolute(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  return workingDirectory() + "/" + path;
}

std::string listed(const std::vector<std::string>& folders) {
  std::string out;
  for (const std::string& f : folders) out += ", " + f;
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  // An ending signal is held back until the game's handler is there to take
  // it (end_signals.h), so that even one sent at once ends the game cleanly.
  vintaro::sdl::holdEndSignals();

  vintaro::sdl::Options options;
  std::string error;
  if (!vintaro::sdl::parseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "vintaro: %s\n%s\nTry 'vintaro --help'.\n", error.c_str(),
                 vintaro::sdl::kUsageLine);
    return kBadCommandLine;
  }
  if (options.help) {
    std::fputs(vintaro::sdl::usageText().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("vintaro %s\n", VINTARO_VERSION);
    return 0;
  }
  if (options.soundFont.empty()) {
    if (const char* env = std::getenv("VINTARO_SOUNDFONT")) options.soundFont = env;
  }
  options.soundFont = absolute(options.soundFont);

  // Opened before the game enters its folder: FILE is where the player said.
  vintaro::Recorder recorder;
  const bool recording = !options.record.empty() && recorder.open(options.record, VINTARO_VERSION);

  std::string folder = options.folder;
  std::vector<std::string> lookedIn;
  if (folder.empty()) {
    lookedIn = vintaro::sdl::defaultDataFolders(
        vintaro::sdl::executableFolder(),
        vintaro::sdl::userDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")));
    folder = vintaro::sdl::chooseDataFolder(lookedIn);
  }
  if (::chdir(folder.c_str()) != 0) {
    std::fprintf(stderr, "vintaro: cannot play in %s: %s\n", folder.c_str(), std::strerror(errno));
    return kBadCommandLine;
  }
  if (options.folder.empty() && ::access("Vintaro.gol", F_OK) != 0) {
    std::fprintf(stderr, "vintaro: no Vintaro.gol in the working directory%s\n",
                 listed(lookedIn).c_str());
  }
  if (recording) recorder.folder(workingDirectory(), ::access("Vintaro.ini", F_OK) == 0);

  // The game record holds the 310,800-byte reward picture: not on the stack,
  // and not in the executable either, as its start values would put it.
  // Zero-filled storage, given the start values here, as the game starts.
  static std::optional<vintaro::GameState> record;
  vintaro::GameState& state = record.emplace();
  int code = 0;
  {
    vintaro::sdl::SdlPlatform platform(options, recording ? &recorder : nullptr);
    code = vintaro::runGame(state, platform);
  }
  recorder.finish(state);
  return code;
}
