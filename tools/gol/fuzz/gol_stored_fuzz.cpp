// vintaro-gol's stored-form reader on any file: the picture of any file long
// enough to hold one, a refusal of any other.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/gol/fuzz/check_picture.h"
#include "tools/gol/gol_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vintaro::gol::Picture picture;
  std::string error;
  const bool read = vintaro::gol::unpack({data, data + size}, picture, error);
  vintaro::fuzz::require(read == (size >= vintaro::gol::kFileBytes), "long enough to read");
  vintaro::fuzz::checkPicture(read, picture, error);
  return 0;
}
