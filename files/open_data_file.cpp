#include <cstdio>

#include "files/data_files.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vintaro {

std::FILE* openDataFile(const char* name) {
#ifdef _WIN32
  // A directory does not open there, and pipes and devices have names of
  // their own.
  return std::fopen(name, "rb");
#else
  // Without O_NONBLOCK a pipe with no writer would hold the open for ever.
  const int fd = ::open(name, O_RDONLY | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return nullptr;
  struct stat info {};
  std::FILE* file = nullptr;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) file = ::fdopen(fd, "rb");
  if (file == nullptr) ::close(fd);
  return file;
#endif
}

}  // namespace vintaro
