// A game written down as it is played: a vintaro-replay script of the
// characters and ticks in the order the game took them, the window system's
// erased repaints, and the close. Into a file, each line flushed as it is
// written, so that the recording of a game that is killed still replays up
// to that point; or kept in memory for whoever asks. A file that cannot be
// written is reported once on standard error and given up; the game plays on.
#pragma once

#include <cstdio>
#include <string>

#include "app/window.h"

namespace vintaro {

class Recorder {
 public:
  Recorder() = default;
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // Creates `path` (relative to the working directory at the time) and
  // writes the first comment lines.
  bool open(const std::string& path, const std::string& version);
  // The same, kept in text() instead of a file.
  void keep(const std::string& version);
  bool recording() const { return file_ != nullptr || keeping_; }
  // The window was shown: settings() was called.
  bool played() const { return played_; }
  // What was kept so far.
  const std::string& text() const { return text_; }

  // Comment lines: where the game plays, then the settings in force once the
  // settings file has been read.
  void folder(const std::string& path, bool settingsFile);
  void settings(int balls, int intervalMs);

  // A message the game is about to handle: a character, a tick, the destroy
  // message of a close, or a paint (`exposed`: one the window system asked
  // for with erase; the game's own paints follow from the rest).
  void take(Message message, unsigned code, bool exposed);
  // The last line, a comment on how the game ended; nothing is written after.
  void end(const std::string& how);
  // end() with how a game that is over ended.
  void finish(const GameState& state);

 private:
  void key(unsigned character);
  void line(const std::string& text);
  void header(const std::string& version);

  std::FILE* file_ = nullptr;
  bool keeping_ = false;
  std::string text_;
  std::string path_;
  bool played_ = false;
};

}  // namespace vintaro
