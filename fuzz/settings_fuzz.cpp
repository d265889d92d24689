// The settings reader on any file: one box when it ends start-up, none when
// it goes on with values in range, and the file closed either way.
#include <cstdint>

#include "files/data_files.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vintaro::fuzz::enterScratchDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using vintaro::fuzz::require;
  vintaro::fuzz::writeScratchFile(vintaro::kSettingsFileName, data, size);
  static auto* state = new vintaro::GameState;
  // An empty file leaves the line buffer as it was: start each run afresh.
  state->textBuffer.fill('\0');
  static auto* platform = new vintaro::fuzz::BoxCounter;
  platform->boxes = 0;
  const int freeBefore = vintaro::fuzz::lowestFreeDescriptor();
  const bool goesOn = vintaro::loadSettings(*state, *platform);
  require(vintaro::fuzz::lowestFreeDescriptor() == freeBefore, "the file is closed");
  if (goesOn) {
    require(platform->boxes == 0, "a valid file shows no box");
    require(state->ballsLeft >= 1 && state->ballsLeft <= 99, "balls 1..99");
    require(state->intervalMs >= 1 && state->intervalMs <= 999, "interval 1..999");
  } else {
    require(platform->boxes == 1, "an invalid file shows one box");
  }
  return 0;
}
