#include "tools/png/png_file.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>

namespace vintaro {

namespace {

// The two steps below each hold a setjmp for libpng's errors: nothing in
// their frames needs destroying when libpng jumps back.
struct PngRead {
  png_structp png = nullptr;
  png_infop info = nullptr;
  char message[200] = "";
};

void onError(png_structp png, png_const_charp message) {
  auto* read = static_cast<PngRead*>(png_get_error_ptr(png));
  std::snprintf(read->message, sizeof read->message, "%s", message);
  png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

bool readHeader(PngRead& r, std::FILE* file, png_uint_32& width, png_uint_32& height) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  png_init_io(r.png, file);
  // Only the pixels are wanted: every other chunk is skipped unread, however
  // large it claims to be.
  png_set_keep_unknown_chunks(r.png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_set_chunk_malloc_max(r.png, 1 << 20);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
  // A fuzzer cannot mend checksums: let its inputs through to what follows.
  png_set_crc_action(r.png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
  png_set_option(r.png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
  png_read_info(r.png, r.info);
  width = png_get_image_width(r.png, r.info);
  height = png_get_image_height(r.png, r.info);
  return true;
}

bool readPixels(PngRead& r, png_bytepp rows, png_uint_32 width) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  png_set_expand(r.png);
  png_set_scale_16(r.png);
  png_set_strip_alpha(r.png);
  png_set_gray_to_rgb(r.png);
  png_set_interlace_handling(r.png);
  png_read_update_info(r.png, r.info);
  if (png_get_rowbytes(r.png, r.info) != static_cast<std::size_t>(width) * 3) {
    png_error(r.png, "unexpected pixel layout");
  }
  png_read_image(r.png, rows);
  return true;
}

}  // namespace

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

bool readPng(std::FILE* file, int maxWidth, int maxHeight, int& width, int& height,
             std::vector<std::uint8_t>& rgb, std::string& error) {
  error.clear();
  PngRead r;
  r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &r, onError, onWarning);
  if (r.png != nullptr) r.info = png_create_info_struct(r.png);
  if (r.info == nullptr) {
    png_destroy_read_struct(&r.png, nullptr, nullptr);
    error = "out of memory";
    return false;
  }
  png_uint_32 w = 0, h = 0;
  bool ok = readHeader(r, file, w, h);
  if (ok) {
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    if (width > maxWidth || height > maxHeight) {
      error = "a picture of " + std::to_string(width) + " x " + std::to_string(height) +
              " pixels, more than the " + std::to_string(maxWidth) + " x " +
              std::to_string(maxHeight) + " read";
      ok = false;
    }
  }
  if (ok) {
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
    rgb.assign(rowBytes * h, 0);
    std::vector<png_bytep> rows(h);
    for (png_uint_32 y = 0; y < h; ++y) rows[y] = rgb.data() + rowBytes * y;
    ok = readPixels(r, rows.data(), w);
  }
  png_destroy_read_struct(&r.png, &r.info, nullptr);
  if (!ok && error.empty()) error = std::string("a damaged PNG file (") + r.message + ")";
  return ok;
}

bool readPng(const std::string& path, int& width, int& height, std::vector<std::uint8_t>& rgb,
             std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool ok = readPng(file, 4096, 4096, width, height, rgb, error);
  std::fclose(file);
  if (!ok) error = "cannot read " + path + ": " + error;
  return ok;
}

}  // namespace vintaro
