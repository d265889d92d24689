// vintaro-gol: puts a picture of your own into "Vintaro.gol", the game's
// reward picture file, and takes one out again.
//
//   vintaro-gol pack PICTURE Vintaro.gol      PICTURE: 370 x 280, PNG or 24-bit BMP
//   vintaro-gol unpack Vintaro.gol PICTURE.png
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

#include "tools/gol/gol_file.h"
#include "tools/png/png_file.h"

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

int usage() {
  std::cerr << "usage: vintaro-gol pack PICTURE Vintaro.gol\n"
               "       vintaro-gol unpack Vintaro.gol PICTURE.png\n"
               "PICTURE is 370 x 280 pixels, a PNG or a 24-bit uncompressed BMP file.\n";
  return kUsage;
}

int fail(const std::string& message) {
  std::cerr << "vintaro-gol: " << message << '\n';
  return kFailed;
}

int run(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    usage();
    return 0;
  }
  if (argc != 4) return usage();
  const std::string command = argv[1];
  const std::string from = argv[2];
  const std::string to = argv[3];
  std::string error;
  vintaro::gol::Picture picture;
  if (command == "pack") {
    if (!vintaro::gol::readPicture(from, picture, error)) return fail(error);
    if (!vintaro::gol::writeFile(to, vintaro::gol::pack(picture), error)) return fail(error);
    return 0;
  }
  if (command == "unpack") {
    std::vector<std::uint8_t> file;
    if (!vintaro::gol::readStoredFile(from, file, error)) return fail(error);
    if (!vintaro::gol::unpack(file, picture, error)) return fail(from + ": " + error);
    if (!vintaro::gol::writePngFile(to, picture, error)) return fail(error);
    return 0;
  }
  return usage();
}

}  // namespace

int main(int argc, char** argv) {
  // Every input is read in bounded memory; this is the last word should
  // the system still refuse some.
  try {
    return run(argc, argv);
  } catch (const std::exception& e) {
    return fail(e.what());
  }
}
