// vintaro-paint-reward FILE.png: paints the project's reward picture.
#include <iostream>
#include <string>

#include "tools/art/reward_picture.h"
#include "tools/png/png_file.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: vintaro-paint-reward FILE.png\n";
    return 2;
  }
  const auto rgb = vintaro::art::paintRewardPicture();
  std::string error;
  if (!vintaro::writePng(argv[1], vintaro::art::kRewardWidth, vintaro::art::kRewardHeight,
                         rgb.data(), error)) {
    std::cerr << "vintaro-paint-reward: " << error << '\n';
    return 1;
  }
  return 0;
}
