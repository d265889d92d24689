#include "platform/sdl/options.h"

#include <string_view>

#include "platform/sdl/screen_mode.h"

namespace vintaro::sdl {

namespace {

bool parseScale(std::string_view text, int& scale) {
  if (text.size() != 1 || text[0] < '1' || text[0] > '0' + kMaxWindowScale) return false;
  scale = text[0] - '0';
  return true;
}

}  // namespace

bool parseOptions(int argc, const char* const* argv, Options& options, std::string& error) {
  options = Options{};
  bool optionsEnded = false;
  bool haveFolder = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      if (haveFolder) {
        error = "more than one folder given: '" + std::string(arg) + "'";
        return false;
      }
      options.folder = std::string(arg);
      haveFolder = true;
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    if (arg == "--version" || arg == "-v") {
      options.version = true;
      continue;
    }
    // --name VALUE or --name=VALUE
    std::string_view name = arg;
    std::string_view value;
    bool haveValue = false;
    if (const auto eq = arg.find('='); eq != std::string_view::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      haveValue = true;
    }
    if (name != "--scale" && name != "--record" && name != "--soundfont") {
      error = "unknown option '" + std::string(arg) + "'";
      return false;
    }
    if (!haveValue) {
      if (i + 1 >= argc) {
        error = "option '" + std::string(name) + "' needs a value";
        return false;
      }
      value = argv[++i];
    }
    if (name == "--scale") {
      if (!parseScale(value, options.scale)) {
        error = "--scale takes a whole number from 1 to 8, not '" + std::string(value) + "'";
        return false;
      }
    } else if (value.empty()) {
      error = "option '" + std::string(name) + "' needs a file name";
      return false;
    } else if (name == "--record") {
      options.record = std::string(value);
    } else {
      options.soundFont = std::string(value);
    }
  }
  return true;
}

std::string usageText() {
  return std::string(kUsageLine) +
         "\n"
         "\n"
         "A retro block-breaking game. It plays in DIR, which holds Vintaro.gol and,\n"
         "if you like, Vintaro.ini. Without DIR: the working directory if it holds a\n"
         "Vintaro.gol, else your own folder ($XDG_DATA_HOME/vintaro, by default\n"
         "~/.local/share/vintaro) if it holds one, else the installed default folder.\n"
         "\n"
         "  --scale N         draw every pixel as N x N (1 to 8); by default the largest\n"
         "                    scale whose window fits the screen\n"
         "  --record FILE     write the game as a vintaro-replay script to FILE\n"
         "  --soundfont FILE  play the sound with this General MIDI soundfont (also\n"
         "                    VINTARO_SOUNDFONT); by default Debian's default-GM\n"
         "  -h, --help        print this and exit\n"
         "  -v, --version     print the version and exit\n"
         "\n"
         "Keys: space starts, pauses and resumes; a s move the paddle 4 columns left,\n"
         "x c 1 left, , . 1 right, ; : 4 right. F11 or Alt+Enter: full screen.\n";
}

}  // namespace vintaro::sdl
