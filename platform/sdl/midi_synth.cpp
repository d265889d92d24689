#include "platform/sdl/midi_synth.h"

#include <fluidsynth.h>
#include <sys/stat.h>

#include <mutex>

namespace vintaro::sdl {

namespace {

// FluidSynth writes its warnings and notes to the terminal; the game keeps
// quiet and plays on silently whatever goes wrong with sound.
void quietLogs() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (const int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
      fluid_set_log_function(level, nullptr, nullptr);
    }
  });
}

}  // namespace

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

std::vector<std::string> defaultSoundFonts() {
  return {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3"};
}

std::vector<std::string> soundFontCandidates(const std::string& chosen) {
  std::vector<std::string> fonts = defaultSoundFonts();
  if (!chosen.empty()) fonts.insert(fonts.begin(), chosen);
  return fonts;
}

std::string findSoundFont(const std::vector<std::string>& candidates) {
  for (const std::string& path : candidates) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return path;
  }
  return {};
}

std::unique_ptr<MidiSynth> MidiSynth::create(double sampleRate, const std::string& soundFont) {
  quietLogs();
  std::unique_ptr<MidiSynth> m(new MidiSynth);
  m->settings_ = new_fluid_settings();
  if (m->settings_ == nullptr) return nullptr;
  fluid_settings_setnum(m->settings_, "synth.sample-rate", sampleRate);
  fluid_settings_setint(m->settings_, "synth.threadsafe-api", 1);
  // Page-locking 6 MB of samples buys nothing here and fails unprivileged.
  fluid_settings_setint(m->settings_, "synth.lock-memory", 0);
  fluid_settings_setint(m->settings_, "synth.polyphony", 64);
  fluid_settings_setint(m->settings_, "synth.chorus.active", 0);
  fluid_settings_setnum(m->settings_, "synth.gain", 0.5);
  // Channel 10 is the percussion channel (FluidSynth's default, stated here).
  fluid_settings_setint(m->settings_, "synth.drums-channel.active", 1);
  m->synth_ = new_fluid_synth(m->settings_);
  if (m->synth_ == nullptr) return nullptr;
  if (soundFont.empty() || fluid_synth_sfload(m->synth_, soundFont.c_str(), 1) == FLUID_FAILED) {
    return nullptr;
  }
  return m;
}

MidiSynth::~MidiSynth() {
  if (synth_ != nullptr) delete_fluid_synth(synth_);
  if (settings_ != nullptr) delete_fluid_settings(settings_);
}

void MidiSynth::send(std::uint32_t message) {
  const MidiEvent e = decodeShortMessage(message);
  // Results are ignored, as the game ignores those of every MIDI call.
  switch (e.type) {
    case MidiEvent::Type::None:
      break;
    case MidiEvent::Type::NoteOff:
      fluid_synth_noteoff(synth_, e.channel, e.data1);
      break;
    case MidiEvent::Type::NoteOn:
      fluid_synth_noteon(synth_, e.channel, e.data1, e.data2);
      break;
    case MidiEvent::Type::KeyPressure:
      fluid_synth_key_pressure(synth_, e.channel, e.data1, e.data2);
      break;
    case MidiEvent::Type::ControlChange:
      fluid_synth_cc(synth_, e.channel, e.data1, e.data2);
      break;
    case MidiEvent::Type::ProgramChange:
      fluid_synth_program_change(synth_, e.channel, e.data1);
      break;
    case MidiEvent::Type::ChannelPressure:
      fluid_synth_channel_pressure(synth_, e.channel, e.data1);
      break;
    case MidiEvent::Type::PitchBend:
      fluid_synth_pitch_bend(synth_, e.channel, e.data1);
      break;
  }
}

void MidiSynth::render(std::int16_t* out, int frames) {
  fluid_synth_write_s16(synth_, frames, out, 0, 2, out, 1, 2);
}

int MidiSynth::activeVoices() const { return fluid_synth_get_active_voice_count(synth_); }

int MidiSynth::bankOf(int channel) const {
  int sfont = 0, bank = 0, preset = 0;
  if (fluid_synth_get_program(synth_, channel, &sfont, &bank, &preset) != FLUID_OK) return -1;
  return bank;
}

}  // namespace vintaro::sdl

namespace vintaro::sdl {

int MidiSynth::programOf(int channel) const {
  int sfont = 0, bank = 0, preset = 0;
  if (fluid_synth_get_program(synth_, channel, &sfont, &bank, &preset) != FLUID_OK) return -1;
  return preset;
}

}  // namespace vintaro::sdl
