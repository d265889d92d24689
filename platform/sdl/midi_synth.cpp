#include "platform/sdl/midi_synth.h"

#include <dlfcn.h>
#include <fluidsynth.h>
#include <sys/stat.h>

#include <type_traits>

namespace vintaro::sdl {

namespace {

// FluidSynth and the forty libraries it brings (glib, libinstpatch, sndfile,
// pulse, jack...) are loaded when the first synthesizer is made, after the
// first frame, not before main. Its header gives the functions' types.
struct Fluid {
  decltype(&fluid_set_log_function) setLogFunction;
  decltype(&new_fluid_settings) newSettings;
  decltype(&delete_fluid_settings) deleteSettings;
  decltype(&fluid_settings_setnum) setNum;
  decltype(&fluid_settings_setint) setInt;
  decltype(&new_fluid_synth) newSynth;
  decltype(&delete_fluid_synth) deleteSynth;
  decltype(&fluid_synth_sfload) sfload;
  decltype(&fluid_synth_noteoff) noteoff;
  decltype(&fluid_synth_noteon) noteon;
  decltype(&fluid_synth_key_pressure) keyPressure;
  decltype(&fluid_synth_cc) cc;
  decltype(&fluid_synth_program_change) programChange;
  decltype(&fluid_synth_channel_pressure) channelPressure;
  decltype(&fluid_synth_pitch_bend) pitchBend;
  decltype(&fluid_synth_write_s16) writeS16;
  decltype(&fluid_synth_get_active_voice_count) activeVoiceCount;
  decltype(&fluid_synth_get_program) getProgram;
};

template <typename F>
bool resolve(void* library, const char* name, F& function) {
  function = reinterpret_cast<F>(dlsym(library, name));
  return function != nullptr;
}

Fluid loadFluid(bool& ok) {
  Fluid f{};
  void* so = dlopen(VINTARO_FLUIDSYNTH_SONAME, RTLD_NOW | RTLD_LOCAL);
  ok = so != nullptr && resolve(so, "fluid_set_log_function", f.setLogFunction) &&
       resolve(so, "new_fluid_settings", f.newSettings) &&
       resolve(so, "delete_fluid_settings", f.deleteSettings) &&
       resolve(so, "fluid_settings_setnum", f.setNum) &&
       resolve(so, "fluid_settings_setint", f.setInt) &&
       resolve(so, "new_fluid_synth", f.newSynth) &&
       resolve(so, "delete_fluid_synth", f.deleteSynth) &&
       resolve(so, "fluid_synth_sfload", f.sfload) &&
       resolve(so, "fluid_synth_noteoff", f.noteoff) &&
       resolve(so, "fluid_synth_noteon", f.noteon) &&
       resolve(so, "fluid_synth_key_pressure", f.keyPressure) &&
       resolve(so, "fluid_synth_cc", f.cc) &&
       resolve(so, "fluid_synth_program_change", f.programChange) &&
       resolve(so, "fluid_synth_channel_pressure", f.channelPressure) &&
       resolve(so, "fluid_synth_pitch_bend", f.pitchBend) &&
       resolve(so, "fluid_synth_write_s16", f.writeS16) &&
       resolve(so, "fluid_synth_get_active_voice_count", f.activeVoiceCount) &&
       resolve(so, "fluid_synth_get_program", f.getProgram);
  if (ok) {
    // FluidSynth writes its warnings and notes to the terminal; the game
    // keeps quiet and plays on silently whatever goes wrong with sound.
    for (const int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
      f.setLogFunction(level, nullptr, nullptr);
    }
  }
  return f;
}

// Loaded once, by the first thread to ask; null when it is not installed.
const Fluid* fluid() {
  static bool ok = false;
  static const Fluid library = loadFluid(ok);
  return ok ? &library : nullptr;
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
  const Fluid* f = fluid();
  if (f == nullptr) return nullptr;
  std::unique_ptr<MidiSynth> m(new MidiSynth);
  m->settings_ = f->newSettings();
  if (m->settings_ == nullptr) return nullptr;
  f->setNum(m->settings_, "synth.sample-rate", sampleRate);
  f->setInt(m->settings_, "synth.threadsafe-api", 1);
  // Page-locking 6 MB of samples buys nothing here and fails unprivileged.
  f->setInt(m->settings_, "synth.lock-memory", 0);
  f->setInt(m->settings_, "synth.polyphony", 64);
  f->setInt(m->settings_, "synth.chorus.active", 0);
  f->setNum(m->settings_, "synth.gain", 0.5);
  // Channel 10 is the percussion channel (FluidSynth's default, stated here).
  f->setInt(m->settings_, "synth.drums-channel.active", 1);
  m->synth_ = f->newSynth(m->settings_);
  if (m->synth_ == nullptr) return nullptr;
  if (soundFont.empty() || f->sfload(m->synth_, soundFont.c_str(), 1) == FLUID_FAILED) {
    return nullptr;
  }
  return m;
}

MidiSynth::~MidiSynth() {
  // Made only once the library is there.
  if (synth_ != nullptr) fluid()->deleteSynth(synth_);
  if (settings_ != nullptr) fluid()->deleteSettings(settings_);
}

void MidiSynth::send(std::uint32_t message) {
  const MidiEvent e = decodeShortMessage(message);
  // Results are ignored, as the game ignores those of every MIDI call.
  switch (e.type) {
    case MidiEvent::Type::None:
      break;
    case MidiEvent::Type::NoteOff:
      fluid()->noteoff(synth_, e.channel, e.data1);
      break;
    case MidiEvent::Type::NoteOn:
      fluid()->noteon(synth_, e.channel, e.data1, e.data2);
      break;
    case MidiEvent::Type::KeyPressure:
      fluid()->keyPressure(synth_, e.channel, e.data1, e.data2);
      break;
    case MidiEvent::Type::ControlChange:
      fluid()->cc(synth_, e.channel, e.data1, e.data2);
      break;
    case MidiEvent::Type::ProgramChange:
      fluid()->programChange(synth_, e.channel, e.data1);
      break;
    case MidiEvent::Type::ChannelPressure:
      fluid()->channelPressure(synth_, e.channel, e.data1);
      break;
    case MidiEvent::Type::PitchBend:
      fluid()->pitchBend(synth_, e.channel, e.data1);
      break;
  }
}

void MidiSynth::render(std::int16_t* out, int frames) {
  fluid()->writeS16(synth_, frames, out, 0, 2, out, 1, 2);
}

int MidiSynth::activeVoices() const { return fluid()->activeVoiceCount(synth_); }

int MidiSynth::bankOf(int channel) const {
  int sfont = 0, bank = 0, preset = 0;
  if (fluid()->getProgram(synth_, channel, &sfont, &bank, &preset) != FLUID_OK) return -1;
  return bank;
}

}  // namespace vintaro::sdl

namespace vintaro::sdl {

int MidiSynth::programOf(int channel) const {
  int sfont = 0, bank = 0, preset = 0;
  if (fluid()->getProgram(synth_, channel, &sfont, &bank, &preset) != FLUID_OK) return -1;
  return preset;
}

}  // namespace vintaro::sdl
