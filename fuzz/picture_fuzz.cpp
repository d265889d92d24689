// The picture reader on any file: start-up goes on, silently, and the file
// is closed.
#include <cstdint>

#include "files/data_files.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vintaro::fuzz::enterScratchDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using vintaro::fuzz::require;
  vintaro::fuzz::writeScratchFile(vintaro::kPictureFileName, data, size);
  static auto* state = new vintaro::GameState;
  static auto* platform = new vintaro::fuzz::BoxCounter;
  platform->boxes = 0;
  const int freeBefore = vintaro::fuzz::lowestFreeDescriptor();
  require(vintaro::loadPicture(*state, *platform), "a file that opens is taken");
  require(platform->boxes == 0, "no box");
  require(vintaro::fuzz::lowestFreeDescriptor() == freeBefore, "the file is closed");
  return 0;
}
