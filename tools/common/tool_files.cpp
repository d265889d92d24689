#include "tools/common/tool_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "files/data_files.h"

namespace vintaro {

namespace {

bool isOther(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

std::string why(const std::string& path, int openError) {
  return path + ": " + (isOther(path) ? "not a regular file" : std::strerror(openError));
}

}  // namespace

std::FILE* openRegularFile(const std::string& path, std::string& error) {
  std::FILE* file = openDataFile(path.c_str());
  if (file == nullptr) error = why(path, errno);
  return file;
}

std::FILE* createRegularFile(const std::string& path, std::string& error) {
  if (isOther(path)) {
    error = path + ": not a regular file";
    return nullptr;
  }
  // Not emptied on open: by the time it is open it may be another file than
  // the one looked at. Without O_NONBLOCK a pipe with no reader would hold
  // the open for ever.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) {
    error = why(path, errno);
    return nullptr;
  }
  struct stat info {};
  std::FILE* file = nullptr;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::ftruncate(fd, 0) == 0) {
    file = ::fdopen(fd, "wb");
  }
  if (file == nullptr) {
    error = why(path, errno);
    ::close(fd);
  }
  return file;
}

}  // namespace vintaro
