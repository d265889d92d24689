// vintaro-gol's pictures: PNG and BMP files read, and "Vintaro.gol" packed
// and unpacked in the stored form the game reads (files/data_files.h).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "files/data_files.h"

namespace vintaro::gol {

inline constexpr int kWidth = kPictureWidth;
inline constexpr int kHeight = kPictureHeight;
inline constexpr int kFileBytes = kStoredFileBytes;  // 311,414

// An ordinary picture, RGB, top row first.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
};

// Reads a 370 x 280 picture from a PNG (any kind; alpha is dropped) or an
// uncompressed 24-bit BMP. Anything else is refused, a picture of another
// size from its header, before any pixel is read: memory stays small
// whatever the input.
bool readPicture(const std::string& path, Picture& picture, std::string& error);

// The same from an open file known to be of that format; `error` names no
// file.
bool readPngPicture(std::FILE* file, Picture& picture, std::string& error);
bool readBmpPicture(std::FILE* file, Picture& picture, std::string& error);

// The whole stored file for a 370 x 280 picture, with a proper bitmap header.
std::vector<std::uint8_t> pack(const Picture& picture);

// The upright picture of a stored file; fails only when the file is too short
// to hold one (the header is not looked at, as the game does not).
bool unpack(const std::vector<std::uint8_t>& file, Picture& picture, std::string& error);

// The first 311,414 bytes of a regular file, all of it when shorter: the
// game reads no more of a stored file.
bool readStoredFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);
// Writes a regular file only: anything else by that name is refused at once.
bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error);
// The picture as a PNG file, a regular file as above.
bool writePngFile(const std::string& path, const Picture& picture, std::string& error);

}  // namespace vintaro::gol
