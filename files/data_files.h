// The two files the game reads at start-up from its working directory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/platform.h"
#include "game/game_state.h"

namespace vintaro {

inline constexpr const char kSettingsFileName[] = "Vintaro.ini";
inline constexpr const char kPictureFileName[] = "Vintaro.gol";

inline constexpr const char kWarningCaption[] = "Vintaro warning";
inline constexpr const char kInvalidCaption[] = "Vintaro invalid";

// "初期値ファイルが見当たりませんので、\n既定値を適用します。"
inline constexpr const char kSettingsMissingText[] =
    "\x8f\x89\x8a\xfa\x92\x6c\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8c\xa9\x93\x96\x82\xbd\x82"
    "\xe8\x82\xdc\x82\xb9\x82\xf1\x82\xcc\x82\xc5\x81\x41\n\x8a\xf9\x92\xe8\x92\x6c\x82\xf0\x93"
    "\x4b\x97\x70\x82\xb5\x82\xdc\x82\xb7\x81\x42";
// "正当な初期値ファイルを用意するか、既定値を適用するか？"
inline constexpr const char kSettingsLine1Text[] =
    "\x90\xb3\x93\x96\x82\xc8\x8f\x89\x8a\xfa\x92\x6c\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x97"
    "\x70\x88\xd3\x82\xb7\x82\xe9\x82\xa9\x81\x41\x8a\xf9\x92\xe8\x92\x6c\x82\xf0\x93\x4b\x97\x70"
    "\x82\xb7\x82\xe9\x82\xa9\x81\x48";
// "初期値ファイルの内容が不当です！#" followed by the check's number.
#define VINTARO_SETTINGS_INVALID                                                                 \
  "\x8f\x89\x8a\xfa\x92\x6c\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x93\xe0\x97\x65\x82\xaa\x95" \
  "\x73\x93\x96\x82\xc5\x82\xb7\x81\x49#"
// "ファイル【Vintaro.gol】が見当たりません。！"
inline constexpr const char kPictureMissingText[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x81\x79"
    "Vintaro.gol"
    "\x81\x7a\x82\xaa\x8c\xa9\x93\x96\x82\xbd\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x42\x81\x49";

// Opens a data file for binary reading. Only a regular file is one: a
// directory, a pipe or a device answers null as a missing file does, and the
// open never waits.
std::FILE* openDataFile(const char* name);

// Reads "Vintaro.ini" into ballsLeft and intervalMs. Answers whether start-up
// goes on: yes when the file is missing (defaults kept) or valid.
bool loadSettings(GameState& state, Platform& platform);

// Reads "Vintaro.gol" into picture, upright. Answers whether start-up goes on:
// no only when the file cannot be opened.
bool loadPicture(GameState& state, Platform& platform);

// The stored form of "Vintaro.gol": a 54-byte bitmap header, then 280 rows of
// 370 pixels bottom-up, 3 bytes a pixel in blue, green, red order, each row
// padded to 1112 bytes, with the picture's 10-row bands turned upside down
// and its first six 60-column bands turned left to right.
inline constexpr int kStoredHeaderBytes = 54;
inline constexpr int kStoredRowBytes = kPictureWidth * 3 + 2;
inline constexpr int kStoredFileBytes = kStoredHeaderBytes + kPictureHeight * kStoredRowBytes;

// The stored form's two mirrorings; each is its own inverse, so the same call
// turns a plain picture into the stored form and back. `rgb` is 370 x 280 x 3.
void mirrorPictureBands(std::uint8_t* rgb);

// The whole stored file of a plain picture `rgb`, with a proper bitmap header.
std::vector<std::uint8_t> packPicture(const std::uint8_t* rgb);

// The plain picture into `rgb` from the first `size` bytes of a stored file.
// The header is not looked at; pixels those bytes do not hold whole come out
// black.
void unpackPicture(const std::uint8_t* file, std::size_t size, std::uint8_t* rgb);

}  // namespace vintaro
