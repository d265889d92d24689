#include "platform/sdl/game_pads.h"

#include <algorithm>
#include <optional>

namespace vintaro::sdl {

namespace {

std::optional<PadControl> controlOf(Uint8 button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      return PadControl::Left;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      return PadControl::Right;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
      return PadControl::FarLeft;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
      return PadControl::FarRight;
    case SDL_CONTROLLER_BUTTON_A:
    case SDL_CONTROLLER_BUTTON_START:
      return PadControl::Start;
    default:
      return std::nullopt;
  }
}

std::optional<PadControl> controlOf(PadStick::Held held) {
  switch (held) {
    case PadStick::Held::Left:
      return PadControl::Left;
    case PadStick::Held::Right:
      return PadControl::Right;
    case PadStick::Held::None:
      break;
  }
  return std::nullopt;
}

std::size_t indexOf(PadControl control) { return static_cast<std::size_t>(control); }

}  // namespace

GamePads::GamePads(std::function<void(PadControl)> press, std::function<void(PadControl)> release)
    : press_(std::move(press)), release_(std::move(release)) {}

void GamePads::close() {
  for (const Pad& pad : pads_) SDL_GameControllerClose(pad.controller);
  pads_.clear();
  if (started_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  started_ = false;
}

void GamePads::start() {
  if (tried_) return;
  tried_ = true;
  // The loop reads the pads itself (update()): SDL would otherwise wake it
  // every millisecond while a pad is plugged in.
  SDL_SetHint(SDL_HINT_AUTO_UPDATE_JOYSTICKS, "0");
  started_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

void GamePads::update() {
  if (started_) SDL_GameControllerUpdate();
}

GamePads::Pad* GamePads::find(SDL_JoystickID id) {
  const auto it =
      std::find_if(pads_.begin(), pads_.end(), [id](const Pad& p) { return p.id == id; });
  return it != pads_.end() ? &*it : nullptr;
}

void GamePads::hold(Pad& pad, PadControl control, bool down) {
  const std::size_t i = indexOf(control);
  if (down) {
    if (pad.holds[i]++ == 0 && held_[i]++ == 0) press_(control);
  } else if (pad.holds[i] > 0) {
    if (--pad.holds[i] == 0 && --held_[i] == 0) release_(control);
  }
}

void GamePads::unplug(SDL_JoystickID id) {
  Pad* pad = find(id);
  if (pad == nullptr) return;
  for (std::size_t i = 0; i < kControls; ++i) {
    if (pad->holds[i] == 0) continue;
    pad->holds[i] = 1;
    hold(*pad, static_cast<PadControl>(i), false);
  }
  SDL_GameControllerClose(pad->controller);
  std::erase_if(pads_, [id](const Pad& p) { return p.id == id; });
}

bool GamePads::take(const SDL_Event& e, bool enabled) {
  switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED: {
      SDL_GameController* c = SDL_GameControllerOpen(e.cdevice.which);
      if (c == nullptr) return true;
      const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c));
      if (find(id) != nullptr) {
        SDL_GameControllerClose(c);  // opened twice: SDL counts, and one close is ours
      } else {
        pads_.push_back(Pad{id, c, PadStick{}, {}});
      }
      return true;
    }
    case SDL_CONTROLLERDEVICEREMOVED:
      unplug(e.cdevice.which);
      return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      Pad* pad = find(e.cbutton.which);
      const std::optional<PadControl> control = controlOf(e.cbutton.button);
      if (pad == nullptr || !control) return true;
      const bool down = e.type == SDL_CONTROLLERBUTTONDOWN;
      if (*control == PadControl::Start) {
        // A press, not a hold: the space bar does not repeat.
        if (down && enabled) press_(PadControl::Start);
      } else if (enabled || !down) {
        hold(*pad, *control, down);
      }
      return true;
    }
    case SDL_CONTROLLERAXISMOTION: {
      Pad* pad = find(e.caxis.which);
      if (pad == nullptr || e.caxis.axis != SDL_CONTROLLER_AXIS_LEFTX) return true;
      const PadStick::Held before = pad->stick.held();
      const PadStick::Held now = pad->stick.update(e.caxis.value / 32767.0);
      if (now == before) return true;
      if (const auto c = controlOf(before)) hold(*pad, *c, false);
      if (const auto c = controlOf(now); c && enabled) hold(*pad, *c, true);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace vintaro::sdl
