#include <cstdio>
#include <cstring>

#include "files/data_files.h"

namespace vintaro {

namespace {

// The settings file read line by line as a text-mode stream would: CR LF
// comes out as LF, and one read takes at most 49 characters.
class LineReader {
 public:
  explicit LineReader(std::FILE* file) : file_(file) {}

  // Fills `buffer` like fgets with a limit of 49 characters. At the end of
  // the file it leaves the buffer as it was.
  void readLine(std::array<char, kTextBufferSize>& buffer) {
    std::size_t n = 0;
    while (n < buffer.size() - 1) {
      const int c = next();
      if (c == EOF) break;
      buffer[n++] = static_cast<char>(c);
      if (c == '\n') break;
    }
    if (n == 0) return;
    buffer[n] = '\0';
    length_ = n;
  }

  // Length of the last line read, so that nothing past its end is compared.
  std::size_t length() const { return length_; }

 private:
  int next() {
    int c = std::fgetc(file_);
    if (c == '\r') {
      const int after = std::fgetc(file_);
      if (after == '\n') return '\n';
      if (after != EOF) std::ungetc(after, file_);
    }
    return c;
  }

  std::FILE* file_;
  std::size_t length_ = 0;
};

class SettingsCheck {
 public:
  SettingsCheck(const std::array<char, kTextBufferSize>& buffer, std::size_t length)
      : buffer_(buffer), length_(length) {}

  bool textAt(std::size_t pos, const char* expected) const {
    const std::size_t n = std::strlen(expected);
    return pos + n <= length_ && std::memcmp(buffer_.data() + pos, expected, n) == 0;
  }
  bool digitAt(std::size_t pos) const {
    return pos < length_ && buffer_[pos] >= '0' && buffer_[pos] <= '9';
  }
  int digit(std::size_t pos) const { return buffer_[pos] - '0'; }

 private:
  const std::array<char, kTextBufferSize>& buffer_;
  std::size_t length_;
};

bool reject(GameState& s, Platform& p, std::FILE* file, const char* text, BoxIcon icon) {
  p.messageBox(s.mainWindow, text, kInvalidCaption, icon);
  std::fclose(file);
  return false;
}

bool invalid(GameState& s, Platform& p, std::FILE* file, const char* text) {
  return reject(s, p, file, text, BoxIcon::Error);
}

}  // namespace

bool loadSettings(GameState& s, Platform& p) {
  std::FILE* file = openDataFile(kSettingsFileName);
  if (file == nullptr) {
    p.messageBox(s.mainWindow, kSettingsMissingText, kWarningCaption, BoxIcon::Warning);
    return true;
  }
  LineReader reader(file);

  reader.readLine(s.textBuffer);
  if (!SettingsCheck(s.textBuffer, reader.length()).textAt(0, kSettingsFileName)) {
    return reject(s, p, file, kSettingsLine1Text, BoxIcon::Warning);
  }

  reader.readLine(s.textBuffer);
  {
    const SettingsCheck line(s.textBuffer, reader.length());
    if (!line.textAt(0, "ball:")) return invalid(s, p, file, VINTARO_SETTINGS_INVALID "1");
    if (!line.textAt(7, "reserve")) return invalid(s, p, file, VINTARO_SETTINGS_INVALID "2");
    if (!line.digitAt(5) || !line.digitAt(6)) {
      return invalid(s, p, file, VINTARO_SETTINGS_INVALID "3");
    }
    const int balls = 10 * line.digit(5) + line.digit(6);
    if (balls == 0) return invalid(s, p, file, VINTARO_SETTINGS_INVALID "7");
    s.ballsLeft = static_cast<std::int16_t>(balls);
  }

  reader.readLine(s.textBuffer);
  {
    const SettingsCheck line(s.textBuffer, reader.length());
    if (!line.textAt(0, "interval:")) return invalid(s, p, file, VINTARO_SETTINGS_INVALID "4");
    if (!line.textAt(12, "msec")) return invalid(s, p, file, VINTARO_SETTINGS_INVALID "5");
    if (!line.digitAt(9) || !line.digitAt(10) || !line.digitAt(11)) {
      return invalid(s, p, file, VINTARO_SETTINGS_INVALID "6");
    }
    const int interval = 100 * line.digit(9) + 10 * line.digit(10) + line.digit(11);
    if (interval == 0) return invalid(s, p, file, VINTARO_SETTINGS_INVALID "8");
    s.intervalMs = static_cast<std::int16_t>(interval);
  }

  std::fclose(file);
  return true;
}

}  // namespace vintaro
