#include "tools/replay/png_file.h"

#include <png.h>

#include <cstring>

namespace vintaro {

bool writePng(const std::string& path, int width, int height, const std::uint8_t* rgb,
              std::string& error) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  if (png_image_write_to_file(&image, path.c_str(), 0, rgb, width * 3, nullptr) == 0) {
    error = "cannot write " + path + ": " + image.message;
    return false;
  }
  return true;
}

bool readPng(const std::string& path, int& width, int& height, std::vector<std::uint8_t>& rgb,
             std::string& error) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
    error = "cannot read " + path + ": " + image.message;
    return false;
  }
  image.format = PNG_FORMAT_RGB;
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  rgb.assign(PNG_IMAGE_SIZE(image), 0);
  if (png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0) {
    error = "cannot read " + path + ": " + image.message;
    png_image_free(&image);
    return false;
  }
  return true;
}

}  // namespace vintaro
