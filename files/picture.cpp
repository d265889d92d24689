#include <cstdio>
#include <cstring>
#include <vector>

#include "files/data_files.h"

namespace vintaro {

namespace {

constexpr int kRowBytes = kPictureWidth * 3;
constexpr int kBandRows = 10;
constexpr int kBandColumns = 60;
constexpr int kTurnedBands = 6;

// Pixels a short file holds no data for come out black.
constexpr std::uint8_t kMissingPixel[3] = {0, 0, 0};

std::size_t offsetOf(int row, int col) {
  return static_cast<std::size_t>((row * kPictureWidth + col) * 3);
}

void copyPixel(std::uint8_t* to, const std::uint8_t* from) { std::memcpy(to, from, 3); }

// Red, green, blue to blue, green, red, and back.
void turnPixel(std::uint8_t* to, const std::uint8_t* from) {
  const std::uint8_t turned[3] = {from[2], from[1], from[0]};
  copyPixel(to, turned);
}

// The file's rows run bottom-up from its header on.
std::size_t storedRowStart(int row) {
  return static_cast<std::size_t>(kStoredHeaderBytes) +
         static_cast<std::size_t>(kPictureHeight - 1 - row) * kStoredRowBytes;
}

void put(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i)
    b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

void mirrorPictureBands(std::uint8_t* rgb) {
  std::vector<std::uint8_t> scratch(kPictureBytes);
  for (int b = 0; b < kPictureHeight / kBandRows; ++b) {
    for (int k = 0; k < kBandRows; ++k) {
      std::memcpy(&scratch[offsetOf(kBandRows * b + k, 0)],
                  rgb + offsetOf(kBandRows * b + kBandRows - 1 - k, 0), kRowBytes);
    }
  }
  for (int r = 0; r < kPictureHeight; ++r) {
    for (int j = 0; j < kTurnedBands; ++j) {
      for (int k = 0; k < kBandColumns; ++k) {
        copyPixel(rgb + offsetOf(r, kBandColumns * j + kBandColumns - 1 - k),
                  &scratch[offsetOf(r, kBandColumns * j + k)]);
      }
    }
    const int untouched = kBandColumns * kTurnedBands;
    std::memcpy(rgb + offsetOf(r, untouched), &scratch[offsetOf(r, untouched)],
                static_cast<std::size_t>((kPictureWidth - untouched) * 3));
  }
}

std::vector<std::uint8_t> packPicture(const std::uint8_t* rgb) {
  std::vector<std::uint8_t> mirrored(rgb, rgb + kPictureBytes);
  mirrorPictureBands(mirrored.data());

  std::vector<std::uint8_t> file(kStoredFileBytes, 0);
  // BITMAPFILEHEADER
  file[0] = 'B';
  file[1] = 'M';
  put(file, 2, kStoredFileBytes, 4);
  put(file, 10, kStoredHeaderBytes, 4);
  // BITMAPINFOHEADER
  put(file, 14, 40, 4);
  put(file, 18, kPictureWidth, 4);
  put(file, 22, kPictureHeight, 4);
  put(file, 26, 1, 2);
  put(file, 28, 24, 2);
  put(file, 30, 0, 4);
  put(file, 34, kPictureHeight * kStoredRowBytes, 4);
  put(file, 38, 2835, 4);  // 72 dpi
  put(file, 42, 2835, 4);
  for (int row = 0; row < kPictureHeight; ++row) {
    for (int c = 0; c < kPictureWidth; ++c) {
      turnPixel(&file[storedRowStart(row) + 3 * static_cast<std::size_t>(c)],
                &mirrored[offsetOf(row, c)]);
    }
  }
  return file;
}

void unpackPicture(const std::uint8_t* file, std::size_t size, std::uint8_t* rgb) {
  for (int row = 0; row < kPictureHeight; ++row) {
    for (int c = 0; c < kPictureWidth; ++c) {
      const std::size_t at = storedRowStart(row) + 3 * static_cast<std::size_t>(c);
      std::uint8_t* px = rgb + offsetOf(row, c);
      if (at + 3 <= size) {
        turnPixel(px, file + at);
      } else {
        copyPixel(px, kMissingPixel);
      }
    }
  }
  mirrorPictureBands(rgb);
}

bool loadPicture(GameState& s, Platform& p) {
  std::FILE* file = openDataFile(kPictureFileName);
  if (file == nullptr) {
    p.messageBox(s.mainWindow, kPictureMissingText, kInvalidCaption, BoxIcon::Error);
    return false;
  }
  std::vector<std::uint8_t> stored(kStoredFileBytes);
  const std::size_t got = std::fread(stored.data(), 1, stored.size(), file);
  std::fclose(file);
  unpackPicture(stored.data(), got, s.picture.data());
  return true;
}

}  // namespace vintaro
