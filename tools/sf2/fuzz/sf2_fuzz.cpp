// vintaro-sf2-subset's reader on any file: what it accepts is written back
// unchanged and cut down to the game's sounds without a fault.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/sf2/sf2_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vintaro::sf2;
  SoundFont font;
  std::string error;
  if (!read(data, size, font, error)) return 0;
  const std::vector<std::uint8_t> written = write(font);
  SoundFont again;
  if (!read(written.data(), written.size(), again, error) || write(again) != written) std::abort();
  SoundFont cut;
  const std::vector<Wanted> wanted = {{0, 13, {71, 72, 79}}, {128, 0, {32, 37, 45}}};
  if (!subset(font, wanted, cut, error)) return 0;
  const std::vector<std::uint8_t> out = write(cut);
  if (!read(out.data(), out.size(), again, error)) std::abort();
  return 0;
}
