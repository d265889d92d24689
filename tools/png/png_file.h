#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vintaro {

// Writes 8-bit RGB rows, top first. Answers false with `error` set on failure.
bool writePng(const std::string& path, int width, int height, const std::uint8_t* rgb,
              std::string& error);

// The same into an open file.
bool writePng(std::FILE* file, int width, int height, const std::uint8_t* rgb, std::string& error);

// Reads any PNG from `file` as 8-bit RGB, top row first, alpha dropped, and
// nothing after its last row. A picture wider than maxWidth or taller than
// maxHeight is refused from its header, before any pixel is read, with width
// and height set.
bool readPng(std::FILE* file, int maxWidth, int maxHeight, int& width, int& height,
             std::vector<std::uint8_t>& rgb, std::string& error);

// The same of a file by its path, up to 4096 x 4096 pixels.
bool readPng(const std::string& path, int& width, int& height, std::vector<std::uint8_t>& rgb,
             std::string& error);

}  // namespace vintaro
