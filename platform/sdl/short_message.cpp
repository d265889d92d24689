#include "platform/sdl/short_message.h"

namespace vintaro::sdl {

MidiEvent decodeShortMessage(std::uint32_t message) {
  const int status = static_cast<int>(message & 0xFF);
  const int data1 = static_cast<int>((message >> 8) & 0x7F);
  const int data2 = static_cast<int>((message >> 16) & 0x7F);
  MidiEvent e;
  if (status < 0x80 || status >= 0xF0) return e;
  e.channel = status & 0x0F;
  e.data1 = data1;
  e.data2 = data2;
  switch (status & 0xF0) {
    case 0x80:
      e.type = MidiEvent::Type::NoteOff;
      break;
    case 0x90:
      e.type = data2 == 0 ? MidiEvent::Type::NoteOff : MidiEvent::Type::NoteOn;
      break;
    case 0xA0:
      e.type = MidiEvent::Type::KeyPressure;
      break;
    case 0xB0:
      e.type = MidiEvent::Type::ControlChange;
      break;
    case 0xC0:
      e.type = MidiEvent::Type::ProgramChange;
      e.data2 = 0;
      break;
    case 0xD0:
      e.type = MidiEvent::Type::ChannelPressure;
      e.data2 = 0;
      break;
    default:  // 0xE0
      e.type = MidiEvent::Type::PitchBend;
      e.data2 = 0;
      e.data1 = data1 | data2 << 7;
      break;
  }
  return e;
}

}  // namespace vintaro::sdl
