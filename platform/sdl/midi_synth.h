// The General MIDI synthesizer: FluidSynth inside the process, with a
// soundfont. It only turns short messages into samples; which device hears
// them is the audio output's business (audio_output.h), so it renders just as
// well offline.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct _fluid_hashtable_t;
struct _fluid_synth_t;

namespace vintaro::sdl {

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
