// The desktop game's command line:
//   vintaro [--scale N] [--record FILE] [--soundfont FILE] [DIR]
// plus --help and --version. Pure logic: no SDL, no files.
#pragma once

#include <string>

namespace vintaro::sdl {

struct Options {
  int scale = 0;  // 0: the largest that fits the display
  std::string record;
  std::string soundFont;
  std::string folder;  // empty: looked for (data_folder.h)
  bool help = false;
  bool version = false;
};

// Parses argv[1..]. Answers false with `error` set (one line, no program
// name) when the command line is not one the game takes.
bool parseOptions(int argc, const char* const* argv, Options& options, std::string& error);

// What --help prints.
std::string usageText();

// The one-line usage given with a bad command line.
inline constexpr char kUsageLine[] =
    "usage: vintaro [--scale N] [--record FILE] [--soundfont FILE] [DIR]";

}  // namespace vintaro::sdl
