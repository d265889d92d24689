#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vintaro {

// Writes 8-bit RGB rows, top first. Answers false with `error` set on failure.
bool writePng(const std::string& path, int width, int height, const std::uint8_t* rgb,
              std::string& error);

// Reads any PNG as 8-bit RGB, top row first.
bool readPng(const std::string& path, int& width, int& height, std::vector<std::uint8_t>& rgb,
             std::string& error);

}  // namespace vintaro
