#include "tools/png/png_file.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>

namespace vintaro {

namespace {

// One read, fed to libpng's progressive reader piece by piece, so that it
// stops at the last row: a stream may go on for gigabytes of data no row
// takes, which the whole-image reader would inflate to the end.
struct PngRead {
  png_structp png = nullptr;
  png_infop info = nullptr;
  char message[200] = "";
  int maxWidth = 0;
  int maxHeight = 0;
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  bool tooLarge = false;
  int lastPass = 0;
  bool done = false;
  std::vector<std::uint8_t>* rgb = nullptr;
};

PngRead& readOf(png_structp png) { return *static_cast<PngRead*>(png_get_progressive_ptr(png)); }

void onError(png_structp png, png_const_charp message) {
  auto* read = static_cast<PngRead*>(png_get_error_ptr(png));
  std::snprintf(read->message, sizeof read->message, "%s", message);
  png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void onHeader(png_structp png, png_infop info) {
  PngRead& r = readOf(png);
  r.width = png_get_image_width(png, info);
  r.height = png_get_image_height(png, info);
  if (r.width > static_cast<png_uint_32>(r.maxWidth) ||
      r.height > static_cast<png_uint_32>(r.maxHeight)) {
    r.tooLarge = true;
    png_error(png, "too large");
  }
  png_set_expand(png);
  png_set_scale_16(png);
  png_set_strip_alpha(png);
  png_set_gray_to_rgb(png);
  r.lastPass = png_set_interlace_handling(png) - 1;
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<std::size_t>(r.width) * 3) {
    png_error(png, "unexpected pixel layout");
  }
  r.rgb->assign(static_cast<std::size_t>(r.width) * 3 * r.height, 0);
}

void onRow(png_structp png, png_bytep row, png_uint_32 number, int pass) {
  PngRead& r = readOf(png);
  if (number >= r.height) return;
  png_progressive_combine_row(png, r.rgb->data() + static_cast<std::size_t>(r.width) * 3 * number,
                              row);
  if (pass == r.lastPass && number + 1 == r.height) r.done = true;
}

void onEnd(png_structp png, png_infop) { readOf(png).done = true; }

// Holds the setjmp for libpng's errors: nothing in this frame needs
// destroying when libpng jumps back.
bool feed(PngRead& r, std::FILE* file) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  png_set_progressive_read_fn(r.png, &r, onHeader, onRow, onEnd);
  // Only the pixels are wanted: every other chunk is skipped unread, however
  // large it claims to be.
  png_set_keep_unknown_chunks(r.png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_set_chunk_malloc_max(r.png, 1 << 20);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
  // A fuzzer cannot mend checksums: let its inputs through to what follows.
  png_set_crc_action(r.png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
  png_set_option(r.png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
  png_byte piece[4096];
  while (!r.done) {
    const std::size_t got = std::fread(piece, 1, sizeof piece, file);
    if (got == 0) break;
    png_process_data(r.png, r.info, piece, got);
  }
  return true;
}

png_image rgbImage(int width, int height) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  return image;
}

}  // namespace

bool writePng(const std::string& path, int width, int height, const std::uint8_t* rgb,
              std::string& error) {
  png_image image = rgbImage(width, height);
  if (png_image_write_to_file(&image, path.c_str(), 0, rgb, width * 3, nullptr) == 0) {
    error = "cannot write " + path + ": " + image.message;
    return false;
  }
  return true;
}

bool writePng(std::FILE* file, int width, int height, const std::uint8_t* rgb, std::string& error) {
  png_image image = rgbImage(width, height);
  if (png_image_write_to_stdio(&image, file, 0, rgb, width * 3, nullptr) == 0) {
    error = image.message;
    return false;
  }
  return true;
}

bool readPng(std::FILE* file, int maxWidth, int maxHeight, int& width, int& height,
             std::vector<std::uint8_t>& rgb, std::string& error) {
  error.clear();
  PngRead r;
  r.maxWidth = maxWidth;
  r.maxHeight = maxHeight;
  r.rgb = &rgb;
  r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &r, onError, onWarning);
  if (r.png != nullptr) r.info = png_create_info_struct(r.png);
  if (r.info == nullptr) {
    png_destroy_read_struct(&r.png, nullptr, nullptr);
    error = "out of memory";
    return false;
  }
  const bool fed = feed(r, file);
  png_destroy_read_struct(&r.png, &r.info, nullptr);
  if (r.width != 0) {
    width = static_cast<int>(r.width);
    height = static_cast<int>(r.height);
  }
  if (r.tooLarge) {
    error = "a picture of " + std::to_string(width) + " x " + std::to_string(height) +
            " pixels, more than the " + std::to_string(maxWidth) + " x " +
            std::to_string(maxHeight) + " read";
  } else if (!fed) {
    error = std::string("a damaged PNG file (") + r.message + ")";
  } else if (!r.done) {
    error = std::ferror(file) != 0 ? "a PNG file that cannot be read" : "a PNG file cut short";
  }
  return error.empty();
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
