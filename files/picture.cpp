#include <cstdio>
#include <cstring>
#include <vector>

#include "files/data_files.h"

namespace vintaro {

namespace {

constexpr long kHeaderBytes = 54;
constexpr int kRowBytes = kPictureWidth * 3;
constexpr int kStoredRowBytes = kRowBytes + 2;
constexpr int kBandRows = 10;
constexpr int kBandColumns = 60;
constexpr int kTurnedBands = 6;

// Pixels a short file holds no data for come out black.
constexpr std::uint8_t kMissingPixel[3] = {0, 0, 0};

std::size_t offsetOf(int row, int col) {
  return static_cast<std::size_t>((row * kPictureWidth + col) * 3);
}

void copyPixel(std::uint8_t* to, const std::uint8_t* from) { std::memcpy(to, from, 3); }

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

bool loadPicture(GameState& s, Platform& p) {
  std::FILE* file = openDataFile(kPictureFileName);
  if (file == nullptr) {
    p.messageBox(s.mainWindow, kPictureMissingText, kInvalidCaption, BoxIcon::Error);
    return false;
  }
  // The header is not looked at: the pixels are taken to start right after it.
  std::vector<std::uint8_t> stored(static_cast<std::size_t>(kStoredRowBytes) * kPictureHeight);
  std::size_t got = 0;
  if (std::fseek(file, kHeaderBytes, SEEK_SET) == 0) {
    got = std::fread(stored.data(), 1, stored.size(), file);
  }
  std::fclose(file);

  for (int row = 0; row < kPictureHeight; ++row) {
    const std::size_t rowStart = static_cast<std::size_t>(row) * kStoredRowBytes;
    for (int c = 0; c < kPictureWidth; ++c) {
      const std::size_t at = rowStart + static_cast<std::size_t>(c) * 3;
      std::uint8_t* px = &s.picture[offsetOf(kPictureHeight - 1 - row, c)];
      if (at + 3 <= got) {
        const std::uint8_t bgr[3] = {stored[at + 2], stored[at + 1], stored[at]};
        copyPixel(px, bgr);
      } else {
        copyPixel(px, kMissingPixel);
      }
    }
  }
  mirrorPictureBands(s.picture.data());
  return true;
}

}  // namespace vintaro
