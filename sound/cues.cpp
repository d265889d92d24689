#include "sound/cues.h"

namespace vintaro {

namespace {
constexpr std::uint8_t kXylophone = 13;
constexpr std::uint8_t kSynthStrings2 = 51;
constexpr std::uint8_t kLowTom = 45;
constexpr std::uint8_t kSideStick = 37;
constexpr std::uint8_t kBlockVelocity = 100;
constexpr std::uint8_t kFullVelocity = 127;

void send(GameState& s, Platform& p, std::uint32_t message) { p.midiShortMsg(s.midiOut, message); }
}  // namespace

void startProgram(GameState& s, Platform& p) {
  send(s, p, shortMessage(kProgramChange, kXylophone, 0));
}

void blockNoteOff(GameState& s, Platform& p) { send(s, p, shortMessage(kNoteOn, s.lastNote, 0)); }

void blockNote(GameState& s, Platform& p) {
  send(s, p, shortMessage(kNoteOn, s.lastNote, kBlockVelocity));
}

void lostBallCue(GameState& s, Platform& p) {
  send(s, p, shortMessage(kDrumOn, kLowTom, kFullVelocity));
}

void paddleCue(GameState& s, Platform& p) {
  send(s, p, shortMessage(kDrumOn, kSideStick, kFullVelocity));
}

void victoryJingle(GameState& s, Platform& p) {
  send(s, p, shortMessage(kProgramChange, kSynthStrings2, 0));
  for (const TuneNote& n : kVictoryTune) {
    send(s, p, shortMessage(kNoteOn, n.note, kFullVelocity));
    p.sleep(n.heldMs);
    send(s, p, shortMessage(kNoteOn, n.note, 0));
  }
}

}  // namespace vintaro
