// vintaro-paint-icon SIZE FILE.png: paints the application icon.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "art/icon.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: vintaro-paint-icon SIZE FILE.png\n";
    return 2;
  }
  const int size = std::atoi(argv[1]);
  if (size < 8 || size > 1024) {
    std::cerr << "vintaro-paint-icon: size 8..1024\n";
    return 2;
  }
  const auto rgba = vintaro::art::paintIcon(size);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(size);
  image.height = static_cast<png_uint_32>(size);
  image.format = PNG_FORMAT_RGBA;
  if (png_image_write_to_file(&image, argv[2], 0, rgba.data(), 0, nullptr) == 0) {
    std::cerr << "vintaro-paint-icon: " << image.message << '\n';
    return 1;
  }
  return 0;
}
