// The reward picture file: the un-mirroring, odd file sizes, a missing file.
#include <gtest/gtest.h>

#include <string>

#include "app/window.h"
#include "files/data_files.h"
#include "tests/test_support.h"

namespace vintaro::test {
namespace {

constexpr std::size_t kStoredRow = 1112;
constexpr std::size_t kFullSize = 54 + kStoredRow * 280;

// Stored pixel (row s in file order, column c) bytes blue, green, red.
std::string coordinateFile() {
  std::string f(kFullSize, '\0');
  for (int s = 0; s < 280; ++s) {
    for (int c = 0; c < 370; ++c) {
      const std::size_t at = 54 + kStoredRow * static_cast<std::size_t>(s) + 3u * c;
      f[at] = static_cast<char>(c & 0xFF);
      f[at + 1] = static_cast<char>((c >> 8) | (s >> 8) << 1 | 0x80);
      f[at + 2] = static_cast<char>(s & 0xFF);
    }
  }
  return f;
}

struct Stored {
  int row, col;
  friend bool operator==(Stored, Stored) = default;
};

Stored decode(Rgb px) { return {px.r | (px.g >> 1 & 1) << 8, px.b | (px.g & 1) << 8}; }

// Where picture pixel (row r, column c) is stored in the file.
Stored source(int r, int c) {
  return {270 - 10 * (r / 10) + r % 10, c < 360 ? 60 * (c / 60) + 59 - c % 60 : c};
}

std::unique_ptr<GameState> loadBytes(const std::string& bytes, bool* goesOn = nullptr) {
  TempDir dir;
  writeFile("Vintaro.gol", bytes);
  SilentPlatform p;
  auto s = std::make_unique<GameState>();
  const bool ok = loadPicture(*s, p);
  if (goesOn != nullptr) *goesOn = ok;
  return s;
}

Rgb at(const GameState& s, int x, int y) {
  const std::uint8_t* px = &s.picture[static_cast<std::size_t>((y * 370 + x) * 3)];
  return {px[0], px[1], px[2]};
}

TEST(Picture, EveryPixelComesFromItsMirroredPlace) {
  const auto s = loadBytes(coordinateFile());
  EXPECT_EQ(decode(at(*s, 0, 0)), (Stored{270, 59}));
  EXPECT_EQ(decode(at(*s, 369, 0)), (Stored{270, 369}));
  EXPECT_EQ(decode(at(*s, 0, 279)), (Stored{9, 59}));
  EXPECT_EQ(decode(at(*s, 359, 279)), (Stored{9, 300}));
  EXPECT_EQ(decode(at(*s, 60, 10)), (Stored{260, 119}));
  for (int r = 0; r < 280; ++r) {
    for (int c = 0; c < 370; ++c) {
      ASSERT_EQ(decode(at(*s, c, r)), source(r, c)) << "row " << r << " column " << c;
    }
  }
}

TEST(Picture, StoredBytesAreBlueGreenRed) {
  std::string f(kFullSize, '\0');
  const std::size_t corner = 54 + kStoredRow * 270 + 3 * 59;  // picture pixel 0,0
  f[corner + 2] = '\xFF';
  const auto s = loadBytes(f);
  EXPECT_EQ(at(*s, 0, 0), (Rgb{255, 0, 0}));
  EXPECT_EQ(at(*s, 1, 0), (Rgb{0, 0, 0}));
}

TEST(Picture, APlainPictureComesBackPlain) {
  const Picture plain = patternPicture();
  Picture mirrored = plain;
  mirrorPictureBands(mirrored.data());
  EXPECT_EQ(mirrored, storedForm(plain));
  mirrorPictureBands(mirrored.data());
  EXPECT_EQ(mirrored, plain);

  const auto proper = loadBytes(bitmapFile(storedForm(plain)));
  EXPECT_TRUE(std::equal(plain.begin(), plain.end(), proper->picture.begin()));
  // The header is not looked at.
  const auto zero = loadBytes(bitmapFile(storedForm(plain), true));
  EXPECT_EQ(zero->picture, proper->picture);
}

TEST(Picture, ExtraBytesAreIgnoredAndMissingOnesAreBlack) {
  const std::string full = coordinateFile();
  const auto whole = loadBytes(full);
  const auto longer = loadBytes(full + std::string(5000, '\x7F'));
  EXPECT_EQ(longer->picture, whole->picture);

  // Stored rows 0..99 whole, two whole pixels of row 100 and a partial one.
  const std::size_t size = 54 + kStoredRow * 100 + 7;
  bool goesOn = false;
  const auto shorter = loadBytes(full.substr(0, size), &goesOn);
  EXPECT_TRUE(goesOn);
  for (int r = 0; r < 280; ++r) {
    for (int c = 0; c < 370; ++c) {
      const Stored from = source(r, c);
      const bool held = 54 + kStoredRow * from.row + 3u * from.col + 3 <= size;
      ASSERT_EQ(at(*shorter, c, r), held ? at(*whole, c, r) : (Rgb{0, 0, 0}))
          << "row " << r << " column " << c;
    }
  }

  const auto tiny = loadBytes(std::string(10, '\x55'), &goesOn);
  EXPECT_TRUE(goesOn);
  EXPECT_EQ(tiny->picture, GameState{}.picture);
}

TEST(Picture, AShortFilesLastWholePixelIsKept) {
  // Stored rows 0..99 whole and two pixels of row 100, the file ending on the
  // second one's last byte.
  const auto s = loadBytes(coordinateFile().substr(0, 54 + kStoredRow * 100 + 6));
  EXPECT_EQ(decode(at(*s, 58, 170)), (Stored{100, 1}));
  EXPECT_EQ(at(*s, 57, 170), (Rgb{0, 0, 0}));
}

TEST(Picture, MissingFileEndsStartUpUnseenAndSilent) {
  TempDir dir;
  std::ostringstream trace;
  HeadlessPlatform p(&trace);
  auto s = std::make_unique<GameState>();
  EXPECT_EQ(runGame(*s, p), 0);
  const std::vector<std::string> want = {
      "0 status 0 \" ピルモ(62歳)作のブロック崩し\"",
      "0 msgbox warning \"Vintaro warning\" "
      "\"初期値ファイルが見当たりませんので、\\n既定値を適用します。\"",
      "0 msgbox error \"Vintaro invalid\" \"ファイル【Vintaro.gol】が見当たりません。！\"",
  };
  EXPECT_EQ(splitLines(trace.str()), want);
}

}  // namespace
}  // namespace vintaro::test
