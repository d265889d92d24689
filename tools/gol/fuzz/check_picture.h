// What the fuzz targets of vintaro-gol's readers check of every answer.
#pragma once

#include <string>

#include "fuzz/fuzz_support.h"
#include "tools/gol/gol_file.h"

namespace vintaro::fuzz {

// A whole 370 x 280 picture, or a reason.
inline void checkPicture(bool read, const gol::Picture& picture, const std::string& error) {
  if (!read) {
    require(!error.empty(), "a refusal says why");
    return;
  }
  require(picture.width == gol::kWidth && picture.height == gol::kHeight, "370 x 280");
  require(picture.rgb.size() == static_cast<std::size_t>(gol::kWidth * gol::kHeight * 3),
          "every pixel");
}

}  // namespace vintaro::fuzz
