// One line of a replay script.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vintaro::replay {

struct Command {
  enum class Kind { Skip, Wait, Tick, Keys, Expose, Close, State, Snapshot };
  Kind kind = Kind::Skip;
  std::int64_t number = 0;  // milliseconds of a wait, count of a tick
  std::string text;         // the characters of key/keys, the file of a snapshot
};

// Parses one script line. Answers false with `error` set for a malformed one.
bool parseLine(std::string_view line, Command& command, std::string& error);

}  // namespace vintaro::replay
