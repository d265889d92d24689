#include "fuzz/fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace vintaro::fuzz {

namespace {

std::filesystem::path& scratch() {
  static std::filesystem::path path;
  return path;
}

void removeScratch() {
  std::error_code ignored;
  std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
  std::filesystem::remove_all(scratch(), ignored);
}

}  // namespace

void require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "check failed: %s\n", what);
  std::abort();
}

void enterScratchDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vintaro-fuzz-XXXXXX").string();
  require(::mkdtemp(pattern.data()) != nullptr, "a scratch directory");
  scratch() = pattern;
  std::filesystem::current_path(scratch());
  std::atexit(removeScratch);
}

void writeScratchFile(const char* name, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(name, "wb");
  require(file != nullptr, "the scratch file opens");
  require(size == 0 || std::fwrite(data, 1, size, file) == size, "the scratch file is written");
  require(std::fclose(file) == 0, "the scratch file is closed");
}

int lowestFreeDescriptor() {
  const int fd = ::open("/dev/null", O_RDONLY);
  ::close(fd);
  return fd;
}

}  // namespace vintaro::fuzz
