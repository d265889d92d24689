// The replay script parser on any text, line by line as vintaro-replay
// reads it: a command it accepts is one the tool can run as it stands.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "tools/replay/script.h"

namespace {

bool printable(char c) { return c > 0x20 && c < 0x7F; }

void checkLine(std::string_view line) {
  using vintaro::fuzz::require;
  using Kind = vintaro::replay::Command::Kind;
  vintaro::replay::Command command;
  std::string error;
  if (!vintaro::replay::parseLine(line, command, error)) {
    require(!error.empty(), "a refused line says why");
    return;
  }
  switch (command.kind) {
    case Kind::Wait:
    case Kind::Tick:
      require(command.number >= 0 && command.number <= 1'000'000'000, "a number in range");
      break;
    case Kind::Keys:
      require(!command.text.empty(), "at least one key");
      for (const char c : command.text) {
        require(printable(c) || c == ' ' || c == '\r', "keys the game can be sent");
      }
      break;
    case Kind::Snapshot:
      require(!command.text.empty() && command.text.back() != '\r', "no line end in a file name");
      for (const char c : command.text) {
        require(c != ' ' && c != '\t' && c != '\n', "one word");
      }
      break;
    default:
      require(command.text.empty(), "no text for a command without one");
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    checkLine(text.substr(start, end - start));
    start = end + 1;
  }
  return 0;
}
