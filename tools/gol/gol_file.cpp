#include "tools/gol/gol_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "files/data_files.h"
#include "tools/replay/png_file.h"

namespace vintaro::gol {

namespace {

std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::uint16_t u16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

bool readBmp(const std::string& path, const std::vector<std::uint8_t>& b, Picture& picture,
             std::string& error) {
  if (b.size() < 30) {
    error = path + ": a BMP file too short to hold its header";
    return false;
  }
  const std::uint32_t offset = u32(b, 10);
  const std::uint32_t infoSize = u32(b, 14);
  if (infoSize < 40) {
    error = path + ": an old OS/2 BMP; only Windows BMP files (24-bit, uncompressed) are read";
    return false;
  }
  if (b.size() < 54) {
    error = path + ": a BMP file too short to hold its header";
    return false;
  }
  const auto width = static_cast<std::int32_t>(u32(b, 18));
  const auto height = static_cast<std::int32_t>(u32(b, 22));
  const std::uint16_t bits = u16(b, 28);
  const std::uint32_t compression = u32(b, 30);
  if (bits != 24 || compression != 0) {
    error = path + ": a " + std::to_string(bits) + "-bit BMP" +
            (compression != 0 ? " with compression" : "") +
            "; only 24-bit uncompressed BMP files are read";
    return false;
  }
  if (width <= 0 || height == 0 || width > 65536 || height > 65536 || height < -65536) {
    error = path + ": a BMP file of impossible size";
    return false;
  }
  const bool topDown = height < 0;
  const int rows = topDown ? -height : height;
  const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  if (offset > b.size() || b.size() - offset < rowBytes * static_cast<std::size_t>(rows)) {
    error = path + ": the BMP file is cut short";
    return false;
  }
  picture.width = width;
  picture.height = rows;
  picture.rgb.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(rows) * 3, 0);
  for (int r = 0; r < rows; ++r) {
    const int fileRow = topDown ? r : rows - 1 - r;
    const std::uint8_t* from = &b[offset + static_cast<std::size_t>(fileRow) * rowBytes];
    std::uint8_t* to =
        &picture.rgb[static_cast<std::size_t>(r) * static_cast<std::size_t>(width) * 3];
    for (int c = 0; c < width; ++c) {
      to[3 * c] = from[3 * c + 2];
      to[3 * c + 1] = from[3 * c + 1];
      to[3 * c + 2] = from[3 * c];
    }
  }
  return true;
}

}  // namespace

bool readFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    error = path + ": " + std::strerror(errno);
    return false;
  }
  bytes.clear();
  std::uint8_t chunk[65536];
  std::size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
    bytes.insert(bytes.end(), chunk, chunk + n);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) {
    error = path + ": read error";
    return false;
  }
  return true;
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
               std::string& error) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) {
    error = path + ": " + std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !written) {
    error = path + ": write error";
    return false;
  }
  return true;
}

bool readPicture(const std::string& path, Picture& picture, std::string& error) {
  std::vector<std::uint8_t> bytes;
  if (!readFile(path, bytes, error)) return false;
  static const std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (bytes.size() >= 8 && std::memcmp(bytes.data(), kPng, 8) == 0) {
    if (!readPng(path, picture.width, picture.height, picture.rgb, error)) return false;
  } else if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    if (!readBmp(path, bytes, picture, error)) return false;
  } else {
    error = path + ": neither a PNG nor a BMP file";
    return false;
  }
  if (picture.width != kWidth || picture.height != kHeight) {
    error = path + ": the picture is " + std::to_string(picture.width) + " x " +
            std::to_string(picture.height) + " pixels; Vintaro.gol holds 370 x 280";
    return false;
  }
  return true;
}

std::vector<std::uint8_t> pack(const Picture& picture) {
  std::vector<std::uint8_t> mirrored = picture.rgb;
  mirrorPictureBands(mirrored.data());

  std::vector<std::uint8_t> file(kFileBytes, 0);
  // BITMAPFILEHEADER
  file[0] = 'B';
  file[1] = 'M';
  put32(file, 2, kFileBytes);
  put32(file, 10, kHeaderBytes);
  // BITMAPINFOHEADER
  put32(file, 14, 40);
  put32(file, 18, kWidth);
  put32(file, 22, kHeight);
  put16(file, 26, 1);
  put16(file, 28, 24);
  put32(file, 30, 0);
  put32(file, 34, static_cast<std::uint32_t>(kHeight * kStoredRowBytes));
  put32(file, 38, 2835);  // 72 dpi
  put32(file, 42, 2835);
  for (int s = 0; s < kHeight; ++s) {
    const int row = kHeight - 1 - s;
    std::uint8_t* to = &file[static_cast<std::size_t>(kHeaderBytes + s * kStoredRowBytes)];
    const std::uint8_t* from = &mirrored[static_cast<std::size_t>(row * kWidth * 3)];
    for (int c = 0; c < kWidth; ++c) {
      to[3 * c] = from[3 * c + 2];
      to[3 * c + 1] = from[3 * c + 1];
      to[3 * c + 2] = from[3 * c];
    }
  }
  return file;
}

bool unpack(const std::vector<std::uint8_t>& file, Picture& picture, std::string& error) {
  if (file.size() < static_cast<std::size_t>(kFileBytes)) {
    error = "too short for a Vintaro.gol (" + std::to_string(file.size()) + " bytes; it holds " +
            std::to_string(kFileBytes) + ")";
    return false;
  }
  picture.width = kWidth;
  picture.height = kHeight;
  picture.rgb.assign(static_cast<std::size_t>(kWidth * kHeight * 3), 0);
  for (int s = 0; s < kHeight; ++s) {
    const int row = kHeight - 1 - s;
    const std::uint8_t* from = &file[static_cast<std::size_t>(kHeaderBytes + s * kStoredRowBytes)];
    std::uint8_t* to = &picture.rgb[static_cast<std::size_t>(row * kWidth * 3)];
    for (int c = 0; c < kWidth; ++c) {
      to[3 * c] = from[3 * c + 2];
      to[3 * c + 1] = from[3 * c + 1];
      to[3 * c + 2] = from[3 * c];
    }
  }
  mirrorPictureBands(picture.rgb.data());
  return true;
}

}  // namespace vintaro::gol
