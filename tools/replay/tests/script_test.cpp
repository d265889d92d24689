// vintaro-replay's script: one command a line, as the tool reads it.
#include "tools/replay/script.h"

#include <gtest/gtest.h>

#include <string>

namespace vintaro::replay {
namespace {

using Kind = Command::Kind;

TEST(ReplayScript, ParsesEveryCommand) {
  struct Case {
    const char* line;
    Kind kind;
    std::int64_t number;
    std::string text;
  };
  const Case cases[] = {
      {"", Kind::Skip, 0, ""},
      {" \t ", Kind::Skip, 0, ""},
      {"# wait 10", Kind::Skip, 0, ""},
      {"   # indented", Kind::Skip, 0, ""},
      {"wait 250", Kind::Wait, 250, ""},
      {"\twait\t0 ", Kind::Wait, 0, ""},
      {"tick", Kind::Tick, 1, ""},
      {"tick 12", Kind::Tick, 12, ""},
      {"key a", Kind::Keys, 0, "a"},
      {"key #", Kind::Keys, 0, "#"},
      {"key space", Kind::Keys, 0, " "},
      {"key enter", Kind::Keys, 0, "\r"},
      {"keys a;:x", Kind::Keys, 0, "a;:x"},
      {"expose", Kind::Expose, 0, ""},
      {"close", Kind::Close, 0, ""},
      {"state", Kind::State, 0, ""},
      {"snapshot out/board.png", Kind::Snapshot, 0, "out/board.png"},
      {"key s\r", Kind::Keys, 0, "s"},
      {"snapshot shot.png \r\r", Kind::Snapshot, 0, "shot.png"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Command command;
    std::string error;
    ASSERT_TRUE(parseLine(c.line, command, error)) << error;
    EXPECT_EQ(command.kind, c.kind);
    if (c.kind == Kind::Wait || c.kind == Kind::Tick) {
      EXPECT_EQ(command.number, c.number);
    }
    EXPECT_EQ(command.text, c.text);
  }
  for (const char* bad :
       {"Wait 10", "wait", "wait 1 2", "wait -5", "wait 1.5", "wait x", "tick 0x3", "tick 1 2",
        "key", "key ab", "key \x01", "key \xC3\xA9", "keys", "keys a b", "expose all", "close now",
        "snapshot", "snapshot a b", "jump"}) {
    Command command;
    std::string error;
    EXPECT_FALSE(parseLine(bad, command, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

// A wait or a tick count may be as large as a thousand million, no larger.
TEST(ReplayScript, TheLargestNumberIsTakenAndOneMoreIsNot) {
  Command command;
  std::string error;
  ASSERT_TRUE(parseLine("wait 1000000000", command, error)) << error;
  EXPECT_EQ(command.number, 1'000'000'000);
  ASSERT_TRUE(parseLine("tick 1000000000", command, error)) << error;
  EXPECT_EQ(command.number, 1'000'000'000);
  EXPECT_FALSE(parseLine("wait 1000000001", command, error));
  EXPECT_FALSE(parseLine("tick 9999999999", command, error));
}

}  // namespace
}  // namespace vintaro::replay
