// A game pad as the game's own characters, the same on every platform, so
// that a game played with a pad records and replays like one played with
// the keys. The d-pad or the left stick steps the paddle one column and the
// shoulder buttons four, each repeating while held; A or Start is the space
// bar.
#pragma once

#include <chrono>

namespace vintaro {

// What a pad gives, whatever its make.
enum class PadControl { Left, Right, FarLeft, FarRight, Start };

struct PadKey {
  unsigned character;
  bool repeats;
};

PadKey padKey(PadControl control);

// Quick enough to cross the field before the ball comes down, slow enough
// that a tap is one column.
inline constexpr std::chrono::milliseconds kPadRepeatDelay{250};
inline constexpr std::chrono::milliseconds kPadRepeatInterval{60};

// A stick's horizontal position as a held direction: held past kPress, let go
// inside kRelease, so that a stick resting near the edge does not chatter.
class PadStick {
 public:
  enum class Held { None, Left, Right };
  static constexpr double kPress = 0.5;
  static constexpr double kRelease = 0.3;

  // `x` from -1 (left) to 1 (right); answers the direction held now.
  Held update(double x);
  Held held() const { return held_; }

 private:
  Held held_ = Held::None;
};

}  // namespace vintaro
