// vintaro-gol's BMP reader on any file: a 370 x 280 picture or a refusal.
#include <cstdint>
#include <cstdio>
#include <string>

#include "tools/gol/fuzz/check_picture.h"
#include "tools/gol/gol_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
  if (file == nullptr) return 0;
  vintaro::gol::Picture picture;
  std::string error;
  const bool read = vintaro::gol::readBmpPicture(file, picture, error);
  std::fclose(file);
  vintaro::fuzz::checkPicture(read, picture, error);
  return 0;
}
