// The General MIDI synthesizer: FluidSynth inside the process, with a
// soundfont. It only turns short messages into samples; which device hears
// them is the audio output's business (audio_output.h), so it renders just as
// well offline. How a short message is taken apart needs no synthesizer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct _fluid_hashtable_t;
struct _fluid_synth_t;

namespace vintaro::sdl {

// A General MIDI short message, as the game packs it into 32 bits, taken
// apart into what a synthesizer is told.
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

// The soundfonts the game looks for, in order: Debian's General MIDI default.
std::vector<std::string> defaultSoundFonts();

// The soundfonts to try: `chosen` first when there is one, then the defaults.
std::vector<std::string> soundFontCandidates(const std::string& chosen);

// The first of `candidates` that exists as a file, or "" when none does.
std::string findSoundFont(const std::vector<std::string>& candidates);

class MidiSynth {
 public:
  // A synthesizer at `sampleRate` frames per second with `soundFont` loaded;
  // null when the synthesizer cannot be made or the soundfont not loaded.
  static std::unique_ptr<MidiSynth> create(double sampleRate, const std::string& soundFont);
  ~MidiSynth();
  MidiSynth(const MidiSynth&) = delete;
  MidiSynth& operator=(const MidiSynth&) = delete;

  // One short message, exactly as sent. Safe to call while another thread
  // renders (FluidSynth's API lock guards the synthesizer).
  void send(std::uint32_t message);

  // Interleaved 16-bit stereo, `frames` frames.
  void render(std::int16_t* out, int frames);

  // The bank that `channel` (0..15) plays from: 128 for a percussion channel.
  int bankOf(int channel) const;

  // The program (0..127) that `channel` plays.
  int programOf(int channel) const;

  // Voices sounding now (released ones still fading out included).
  int activeVoices() const;

 private:
  MidiSynth() = default;
  _fluid_hashtable_t* settings_ = nullptr;
  _fluid_synth_t* synth_ = nullptr;
};

}  // namespace vintaro::sdl
