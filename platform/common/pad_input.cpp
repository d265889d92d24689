#include "platform/common/pad_input.h"

namespace vintaro {

PadKey padKey(PadControl control) {
  switch (control) {
    case PadControl::Left:
      return {'x', true};
    case PadControl::Right:
      return {'.', true};
    case PadControl::FarLeft:
      return {'a', true};
    case PadControl::FarRight:
      return {';', true};
    case PadControl::Start:
      break;
  }
  return {' ', false};
}

PadStick::Held PadStick::update(double x) {
  if (x <= -kPress) {
    held_ = Held::Left;
  } else if (x >= kPress) {
    held_ = Held::Right;
  } else if ((held_ == Held::Left && x > -kRelease) || (held_ == Held::Right && x < kRelease)) {
    held_ = Held::None;
  }
  return held_;
}

}  // namespace vintaro
