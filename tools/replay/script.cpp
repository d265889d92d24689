#include "tools/replay/script.h"

#include <sstream>
#include <vector>

namespace vintaro::replay {

namespace {

constexpr std::int64_t kLargestNumber = 1'000'000'000;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::vector<std::string_view> words(std::string_view line) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && isBlank(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !isBlank(line[i])) ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

bool parseNumber(std::string_view word, std::int64_t& value) {
  if (word.empty() || word.size() > 10) return false;
  value = 0;
  for (const char c : word) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return value <= kLargestNumber;
}

bool isKeyCharacter(char c) { return c > 0x20 && c < 0x7F; }

}  // namespace

bool parseLine(std::string_view line, Command& command, std::string& error) {
  command = Command{};
  // Trailing blanks and CRs are all line end: a script saved with CR LF (or
  // CR CR LF) reads the same.
  while (!line.empty() && (line.back() == '\r' || isBlank(line.back()))) line.remove_suffix(1);
  const std::vector<std::string_view> w = words(line);
  if (w.empty() || w[0][0] == '#') return true;

  const std::string_view name = w[0];
  const auto arguments = [&](std::size_t least, std::size_t most) {
    if (w.size() - 1 < least || w.size() - 1 > most) {
      // A stream, not a chain of +: GCC 12 at -O3 warns falsely on that.
      std::ostringstream text;
      text << '\'' << name << "' takes " << least;
      if (least != most) text << " or " << most;
      text << (most == 1 ? " argument" : " arguments");
      error = text.str();
      return false;
    }
    return true;
  };

  if (name == "wait") {
    if (!arguments(1, 1)) return false;
    command.kind = Command::Kind::Wait;
    if (!parseNumber(w[1], command.number)) {
      error = "wait needs a whole number of milliseconds, not '" + std::string(w[1]) + "'";
      return false;
    }
  } else if (name == "tick") {
    if (!arguments(0, 1)) return false;
    command.kind = Command::Kind::Tick;
    command.number = 1;
    if (w.size() == 2 && !parseNumber(w[1], command.number)) {
      error = "tick needs a whole number of ticks, not '" + std::string(w[1]) + "'";
      return false;
    }
  } else if (name == "key") {
    if (!arguments(1, 1)) return false;
    command.kind = Command::Kind::Keys;
    if (w[1] == "space") {
      command.text = " ";
    } else if (w[1] == "enter") {
      command.text = "\r";
    } else if (w[1].size() == 1 && isKeyCharacter(w[1][0])) {
      command.text = std::string(w[1]);
    } else {
      error =
          "key takes one printable character, 'space' or 'enter', not '" + std::string(w[1]) + "'";
      return false;
    }
  } else if (name == "keys") {
    if (!arguments(1, 1)) return false;
    command.kind = Command::Kind::Keys;
    for (const char c : w[1]) {
      if (!isKeyCharacter(c)) {
        error = "keys takes printable characters only";
        return false;
      }
    }
    command.text = std::string(w[1]);
  } else if (name == "expose" || name == "close" || name == "state") {
    if (!arguments(0, 0)) return false;
    command.kind = name == "expose"  ? Command::Kind::Expose
                   : name == "close" ? Command::Kind::Close
                                     : Command::Kind::State;
  } else if (name == "snapshot") {
    if (!arguments(1, 1)) return false;
    command.kind = Command::Kind::Snapshot;
    command.text = std::string(w[1]);
  } else {
    error = "unknown command '" + std::string(name) + "'";
    return false;
  }
  return true;
}

}  // namespace vintaro::replay
