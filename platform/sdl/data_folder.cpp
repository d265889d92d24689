#include "platform/sdl/data_folder.h"

#include <SDL_filesystem.h>
#include <SDL_stdinc.h>
#include <sys/stat.h>

namespace vintaro::sdl {

namespace {

bool isFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string userDataFolder(const char* xdgDataHome, const char* home) {
  if (xdgDataHome != nullptr && xdgDataHome[0] == '/') return std::string(xdgDataHome) + "/vintaro";
  if (home == nullptr || home[0] == '\0') return {};
  return std::string(home) + "/.local/share/vintaro";
}

std::string executableFolder() {
  char* base = SDL_GetBasePath();
  if (base == nullptr) return {};
  std::string folder = base;
  SDL_free(base);
  return folder;
}

std::vector<std::string> defaultDataFolders(const std::string& exeFolder,
                                            const std::string& userFolder) {
  std::vector<std::string> folders;
  if (!userFolder.empty()) folders.push_back(userFolder);
  if (exeFolder.empty()) return folders;
  folders.push_back(exeFolder + VINTARO_INSTALLED_DATA);
  // Only a CMake build folder may take the build's play folder.
  if (isFolder(exeFolder + "CMakeFiles")) folders.push_back(exeFolder + VINTARO_BUILD_PLAY_DIR);
  return folders;
}

std::string chooseDataFolder(const std::vector<std::string>& candidates) {
  if (isFile("Vintaro.gol")) return ".";
  for (const std::string& folder : candidates) {
    if (isFile(folder + "/Vintaro.gol")) return folder;
  }
  return ".";
}

}  // namespace vintaro::sdl
