// The files the tools read and write: regular files only, opened without
// waiting. A pipe or a device could hold an open, a read or a write for
// ever, or never end.
#pragma once

#include <cstdio>
#include <string>

namespace vintaro {

// Opens a regular file for reading. Anything else answers null, with `error`
// naming the file and why ("not a regular file" for a directory, a pipe or a
// device).
std::FILE* openRegularFile(const std::string& path, std::string& error);

// Creates a regular file for writing, or empties one. Anything else by that
// name is refused at once, with `error` as above.
std::FILE* createRegularFile(const std::string& path, std::string& error);

}  // namespace vintaro
