#include "tools/gol/gol_file.h"

#include <cstdio>
#include <cstring>

#include "tools/common/tool_files.h"
#include "tools/png/png_file.h"

namespace vintaro::gol {

namespace {

std::uint32_t u32(const std::uint8_t* b) {
  return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
         static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

std::string sizeError(std::int64_t width, std::int64_t height) {
  return "the picture is " + std::to_string(width) + " x " + std::to_string(height) +
         " pixels; Vintaro.gol holds 370 x 280";
}

}  // namespace

bool readBmpPicture(std::FILE* file, Picture& picture, std::string& error) {
  std::uint8_t h[kStoredHeaderBytes];
  const std::size_t got = std::fread(h, 1, sizeof h, file);
  if (got < 30) {
    error = "a BMP file too short to hold its header";
    return false;
  }
  if (u32(h + 14) < 40) {
    error = "an old OS/2 BMP; only Windows BMP files (24-bit, uncompressed) are read";
    return false;
  }
  if (got < sizeof h) {
    error = "a BMP file too short to hold its header";
    return false;
  }
  const std::uint32_t offset = u32(h + 10);
  const auto width = static_cast<std::int32_t>(u32(h + 18));
  const auto height = static_cast<std::int32_t>(u32(h + 22));
  const int bits = h[28] | h[29] << 8;
  const std::uint32_t compression = u32(h + 30);
  if (bits != 24 || compression != 0) {
    error = "a " + std::to_string(bits) + "-bit BMP" +
            (compression != 0 ? " with compression" : "") +
            "; only 24-bit uncompressed BMP files are read";
    return false;
  }
  if (width <= 0 || height == 0) {
    error = "a BMP file of impossible size";
    return false;
  }
  // Negative height: rows stored top-down.
  const bool topDown = height < 0;
  const std::int64_t rows = topDown ? -static_cast<std::int64_t>(height) : height;
  if (width != kWidth || rows != kHeight) {
    error = sizeError(width, rows);
    return false;
  }
  constexpr std::size_t kRowBytes = (kWidth * 3 + 3) / 4 * 4;
  std::vector<std::uint8_t> stored(kRowBytes * kHeight);
  if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0 ||
      std::fread(stored.data(), 1, stored.size(), file) != stored.size()) {
    error = "the BMP file is cut short";
    return false;
  }
  picture.width = kWidth;
  picture.height = kHeight;
  picture.rgb.assign(static_cast<std::size_t>(kWidth * kHeight * 3), 0);
  for (int r = 0; r < kHeight; ++r) {
    const int fileRow = topDown ? r : kHeight - 1 - r;
    const std::uint8_t* from = &stored[static_cast<std::size_t>(fileRow) * kRowBytes];
    std::uint8_t* to = &picture.rgb[static_cast<std::size_t>(r * kWidth * 3)];
    for (int c = 0; c < kWidth; ++c) {
      to[3 * c] = from[3 * c + 2];
      to[3 * c + 1] = from[3 * c + 1];
      to[3 * c + 2] = from[3 * c];
    }
  }
  return true;
}

bool readPngPicture(std::FILE* file, Picture& picture, std::string& error) {
  picture.width = picture.height = 0;
  const bool read =
      readPng(file, kWidth, kHeight, picture.width, picture.height, picture.rgb, error);
  if (read ? picture.width != kWidth || picture.height != kHeight
           : picture.width > kWidth || picture.height > kHeight) {
    error = sizeError(picture.width, picture.height);
    return false;
  }
  return read;
}

bool readPicture(const std::string& path, Picture& picture, std::string& error) {
  std::FILE* file = openRegularFile(path, error);
  if (file == nullptr) return false;
  std::uint8_t magic[8];
  const std::size_t got = std::fread(magic, 1, sizeof magic, file);
  std::rewind(file);
  static const std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  bool read = false;
  if (got == sizeof magic && std::memcmp(magic, kPng, sizeof magic) == 0) {
    read = readPngPicture(file, picture, error);
  } else if (got >= 2 && magic[0] == 'B' && magic[1] == 'M') {
    read = readBmpPicture(file, picture, error);
  } else {
    error = "neither a PNG nor a BMP file";
  }
  std::fclose(file);
  if (!read) error = path + ": " + error;
  return read;
}

bool readStoredFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
  std::FILE* file = openRegularFile(path, error);
  if (file == nullptr) return false;
  bytes.resize(kFileBytes);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) error = path + ": read error";
  return !failed;
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
               std::string& error) {
  std::FILE* f = createRegularFile(path, error);
  if (f == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !written) {
    error = path + ": write error";
    return false;
  }
  return true;
}

bool writePngFile(const std::string& path, const Picture& picture, std::string& error) {
  std::FILE* f = createRegularFile(path, error);
  if (f == nullptr) return false;
  const bool written = writePng(f, picture.width, picture.height, picture.rgb.data(), error);
  if (std::fclose(f) != 0 || !written) {
    error = path + ": " + (written ? "write error" : error);
    return false;
  }
  return true;
}

std::vector<std::uint8_t> pack(const Picture& picture) { return packPicture(picture.rgb.data()); }

bool unpack(const std::vector<std::uint8_t>& file, Picture& picture, std::string& error) {
  if (file.size() < static_cast<std::size_t>(kFileBytes)) {
    error = "too short for a Vintaro.gol (" + std::to_string(file.size()) + " bytes; it holds " +
            std::to_string(kFileBytes) + ")";
    return false;
  }
  picture.width = kWidth;
  picture.height = kHeight;
  picture.rgb.assign(static_cast<std::size_t>(kWidth * kHeight * 3), 0);
  unpackPicture(file.data(), file.size(), picture.rgb.data());
  return true;
}

}  // namespace vintaro::gol
