// vintaro-replay: plays the real game on the headless platform from a script
// of user actions and prints the trace of every platform call.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "app/window.h"
#include "platform/headless/headless_platform.h"
#include "tools/png/png_file.h"
#include "tools/replay/script.h"

namespace {

constexpr int kMalformed = 2;

[[noreturn]] void fail(const std::string& message) {
  std::cout.flush();
  std::cerr << "vintaro-replay: " << message << '\n';
  std::exit(kMalformed);
}

void run(vintaro::HeadlessPlatform& platform, const vintaro::replay::Command& c) {
  using Kind = vintaro::replay::Command::Kind;
  switch (c.kind) {
    case Kind::Skip:
      break;
    case Kind::Wait:
      platform.wait(c.number);
      break;
    case Kind::Tick:
      for (std::int64_t i = 0; i < c.number && !platform.quitTaken(); ++i) platform.tick();
      break;
    case Kind::Keys:
      for (const char ch : c.text) platform.key(static_cast<unsigned char>(ch));
      break;
    case Kind::Expose:
      platform.expose();
      break;
    case Kind::Close:
      platform.close();
      break;
    case Kind::State:
      platform.traceState();
      break;
    case Kind::Snapshot: {
      std::string error;
      if (!vintaro::writePng(c.text, vintaro::HeadlessPlatform::kWidth,
                             vintaro::HeadlessPlatform::kHeight, platform.pixels().data(), error)) {
        fail(error);
      }
      break;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) {
    std::cerr << "usage: vintaro-replay [SCRIPT]\n";
    return kMalformed;
  }
  std::ifstream file;
  if (argc == 2) {
    file.open(argv[1]);
    if (!file) {
      std::cerr << "vintaro-replay: cannot open " << argv[1] << '\n';
      return kMalformed;
    }
  }
  std::istream& script = argc == 2 ? static_cast<std::istream&>(file) : std::cin;
  std::ios::sync_with_stdio(false);

  vintaro::HeadlessPlatform platform(&std::cout);
  long lineNumber = 0;
  platform.setDriver([&](vintaro::HeadlessPlatform& p) {
    std::cout.flush();
    std::string line;
    vintaro::replay::Command command;
    std::string error;
    while (std::getline(script, line)) {
      ++lineNumber;
      if (!vintaro::replay::parseLine(line, command, error)) {
        fail("line " + std::to_string(lineNumber) + ": " + error);
      }
      if (command.kind == vintaro::replay::Command::Kind::Skip) continue;
      run(p, command);
      // Flushed after every command, so that another program can play
      // through us interactively.
      std::cout.flush();
      return true;
    }
    return false;
  });

  auto state = std::make_unique<vintaro::GameState>();
  const int code = vintaro::runGame(*state, platform);
  std::cout << platform.now() << " exit " << code << '\n';
  std::cout.flush();
  return code & 0xFF;
}
