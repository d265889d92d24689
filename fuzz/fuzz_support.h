// What the fuzz targets share: a failed check that libFuzzer reports as a
// crash, and a working directory of the process's own for the game's
// readers, which take their files by fixed names.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/headless/headless_platform.h"

namespace vintaro::fuzz {

// Prints `what` and aborts when `ok` is false.
void require(bool ok, const char* what);

// Makes a fresh directory under $TMPDIR the working directory, removed again
// at exit. Called once, from LLVMFuzzerInitialize.
void enterScratchDirectory();

// Writes `size` bytes to `name` in the working directory.
void writeScratchFile(const char* name, const std::uint8_t* data, std::size_t size);

// A headless platform that counts the message boxes shown.
class BoxCounter final : public HeadlessPlatform {
 public:
  void messageBox(Handle, const char*, const char*, BoxIcon) override { ++boxes; }
  int boxes = 0;
};

// The lowest free file descriptor: it changes when a reader leaves a file open.
int lowestFreeDescriptor();

}  // namespace vintaro::fuzz
