// SoundFont 2 files (RIFF "sfbk"): read into their records, written back, and
// cut down to the presets and keys that a player sounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vintaro::sf2 {

// The generators the cutting needs to know by number.
inline constexpr std::uint16_t kKeyRange = 43;
inline constexpr std::uint16_t kInstrument = 41;
inline constexpr std::uint16_t kSampleId = 53;

// Each record list below ends with the terminal record the format asks for,
// as read; the bag indices of the headers and the generator and modulator
// indices of the bags are positions in the lists that follow them.
struct PresetHeader {
  std::string name;  // up to 20 bytes
  std::uint16_t preset = 0;
  std::uint16_t bank = 0;
  std::uint16_t bag = 0;
  std::uint32_t library = 0;
  std::uint32_t genre = 0;
  std::uint32_t morphology = 0;
};

struct Bag {
  std::uint16_t generator = 0;
  std::uint16_t modulator = 0;
};

struct Modulator {
  std::uint16_t source = 0;
  std::uint16_t destination = 0;
  std::int16_t amount = 0;
  std::uint16_t amountSource = 0;
  std::uint16_t transform = 0;
};

struct Generator {
  std::uint16_t op = 0;
  std::uint16_t amount = 0;  // a range (low byte first), a signed or an unsigned word
};

struct InstrumentHeader {
  std::string name;
  std::uint16_t bag = 0;
};

struct SampleHeader {
  std::string name;
  std::uint32_t start = 0;
  std::uint32_t end = 0;
  std::uint32_t loopStart = 0;
  std::uint32_t loopEnd = 0;
  std::uint32_t rate = 0;
  std::uint8_t originalPitch = 0;
  std::int8_t pitchCorrection = 0;
  std::uint16_t link = 0;
  std::uint16_t type = 0;
};

struct SoundFont {
  std::vector<std::uint8_t> info;  // the INFO list's chunks, kept as they are
  std::vector<std::int16_t> samples;
  std::vector<std::uint8_t> samples24;  // the optional low bytes (sm24), or empty
  std::vector<PresetHeader> presets;
  std::vector<Bag> presetBags;
  std::vector<Modulator> presetModulators;
  std::vector<Generator> presetGenerators;
  std::vector<InstrumentHeader> instruments;
  std::vector<Bag> instrumentBags;
  std::vector<Modulator> instrumentModulators;
  std::vector<Generator> instrumentGenerators;
  std::vector<SampleHeader> sampleHeaders;
};

// Larger files are refused before they are read.
inline constexpr std::size_t kMaxFileBytes = std::size_t{1} << 30;

// Reads a whole file's bytes. Every size and index is checked, so that what
// it accepts can be walked without further checks; false with `error` set on
// anything else.
bool read(const std::uint8_t* data, std::size_t size, SoundFont& font, std::string& error);
std::vector<std::uint8_t> write(const SoundFont& font);

// What a player sounds of one preset: its bank, its program and its keys.
struct Wanted {
  std::uint16_t bank = 0;
  std::uint16_t program = 0;
  std::vector<std::uint8_t> keys;
};

// A soundfont holding only the wanted presets, each with only the zones that
// its keys reach, and the instruments and samples those zones use (a stereo
// sample keeps its partner). A wanted preset that is not there, or whose
// keys reach no sample, is an error.
bool subset(const SoundFont& font, const std::vector<Wanted>& wanted, SoundFont& out,
            std::string& error);

}  // namespace vintaro::sf2
