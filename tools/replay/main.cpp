// vintaro-replay: plays the real game on the headless platform from a script
// of user actions and prints the trace of every platform call.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "app/window.h"
#include "platform/headless/headless_platform.h"
#include "tools/common/tool_files.h"
#include "tools/png/png_file.h"
#include "tools/replay/script.h"

namespace {

// A script that is malformed or cannot be read: no script to play either way.
constexpr int kMalformed = 2;
// Longer than any command worth writing: a snapshot's path is at most 4096
// bytes. Holds the memory a script takes, whatever it is.
constexpr std::size_t kLongestLine = 65536;

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

enum class Read { Line, End, TooLong, Failed };

// One line without its end; the last may have none.
Read readLine(std::FILE* in, std::string& line) {
  line.clear();
  for (int c = std::getc(in); c != EOF; c = std::getc(in)) {
    if (c == '\n') return Read::Line;
    if (line.size() == kLongestLine) return Read::TooLong;
    line.push_back(static_cast<char>(c));
  }
  if (std::ferror(in) != 0) return Read::Failed;
  return line.empty() ? Read::End : Read::Line;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) {
    std::cerr << "usage: vintaro-replay [SCRIPT]\n";
    return kMalformed;
  }
  std::string name = "standard input";
  std::FILE* script = stdin;
  if (argc == 2) {
    std::string error;
    name = argv[1];
    script = vintaro::openRegularFile(name, error);
    if (script == nullptr) {
      std::cerr << "vintaro-replay: cannot read " << error << '\n';
      return kMalformed;
    }
  }
  std::ios::sync_with_stdio(false);

  vintaro::HeadlessPlatform platform(&std::cout);
  long lineNumber = 0;
  platform.setDriver([&](vintaro::HeadlessPlatform& p) {
    std::cout.flush();
    std::string line;
    vintaro::replay::Command command;
    std::string error;
    for (Read read = readLine(script, line); read != Read::End; read = readLine(script, line)) {
      ++lineNumber;
      if (read == Read::Failed) fail("cannot read " + name + ": " + std::strerror(errno));
      if (read == Read::TooLong) {
        fail("line " + std::to_string(lineNumber) + ": longer than " +
             std::to_string(kLongestLine) + " bytes");
      }
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
