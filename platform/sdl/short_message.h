// A General MIDI short message, as the game packs it into 32 bits, taken
// apart into what a synthesizer is told. Pure logic: no synthesizer, no
// device.
#pragma once

#include <cstdint>

namespace vintaro::sdl {

struct MidiEvent {
  enum class Type {
    None,  // not a channel message (system messages, stray data bytes)
    NoteOff,
    NoteOn,
    KeyPressure,
    ControlChange,
    ProgramChange,
    ChannelPressure,
    PitchBend,
  };
  Type type = Type::None;
  int channel = 0;  // 0..15; 9 is General MIDI channel 10, the percussion
  int data1 = 0;    // note, controller or program
  int data2 = 0;    // velocity, value or pressure; pitch bend 0..16383
  friend bool operator==(const MidiEvent&, const MidiEvent&) = default;
};

// Status in bits 0-7, data 1 in bits 8-15, data 2 in bits 16-23. A Note On
// with velocity 0 is a Note Off (MIDI 1.0): the game ends its notes so.
MidiEvent decodeShortMessage(std::uint32_t message);

}  // namespace vintaro::sdl
