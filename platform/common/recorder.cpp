#include "platform/common/recorder.h"

#include <cerrno>
#include <cstring>

namespace vintaro {

Recorder::~Recorder() {
  if (file_ != nullptr) std::fclose(file_);
}

bool Recorder::open(const std::string& path, const std::string& version) {
  path_ = path;
  file_ = std::fopen(path.c_str(), "w");
  if (file_ == nullptr) {
    std::fprintf(stderr, "vintaro: cannot write the recording %s: %s; playing on without it\n",
                 path.c_str(), std::strerror(errno));
    return false;
  }
  header(version);
  return recording();
}

void Recorder::keep(const std::string& version) {
  keeping_ = true;
  header(version);
}

void Recorder::header(const std::string& version) {
  line("# vintaro " + version + " recording: run vintaro-replay on it in a folder holding");
  line("# the same Vintaro.ini and Vintaro.gol.");
}

void Recorder::folder(const std::string& path, bool settingsFile) {
  line("# folder: " + path);
  if (!settingsFile) line("# no Vintaro.ini: the game warns and plays with its defaults");
}

void Recorder::settings(int balls, int intervalMs) {
  played_ = true;
  line("# balls: " + std::to_string(balls));
  line("# interval: " + std::to_string(intervalMs) + " ms");
}

void Recorder::take(Message message, unsigned code, bool exposed) {
  switch (message) {
    case Message::Char:
      key(code);
      break;
    case Message::Timer:
      line("tick");
      break;
    case Message::Destroy:
      line("close");
      break;
    case Message::Paint:
      if (exposed) line("expose");
      break;
    case Message::Create:
      break;
  }
}

void Recorder::key(unsigned c) {
  if (c == ' ') {
    line("key space");
  } else if (c == '\r') {
    line("key enter");
  } else if (c > 0x20 && c < 0x7F) {
    line(std::string("key ") + static_cast<char>(c));
  } else {
    // The game's keys are all printable ASCII: any other character does
    // nothing, and a script has no way to give it.
    char text[48];
    std::snprintf(text, sizeof text, "# character U+%04X, no game key", c);
    line(text);
  }
}

void Recorder::end(const std::string& how) {
  line("# " + how);
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  keeping_ = false;
}

void Recorder::finish(const GameState& s) {
  if (!played_) {
    end("the game ended at start-up");
  } else if (s.ballsLeft == 0) {
    end("game over");
  } else {
    end("the window was closed");
  }
}

void Recorder::line(const std::string& text) {
  if (keeping_) {
    text_ += text;
    text_ += '\n';
    return;
  }
  if (file_ == nullptr) return;
  if (std::fputs(text.c_str(), file_) >= 0 && std::fputc('\n', file_) != EOF &&
      std::fflush(file_) == 0) {
    return;
  }
  std::fprintf(stderr, "vintaro: cannot write the recording %s: %s; playing on without it\n",
               path_.c_str(), std::strerror(errno));
  std::fclose(file_);
  file_ = nullptr;
}

}  // namespace vintaro
