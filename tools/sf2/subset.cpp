// Cuts a soundfont down to what a player sounds. A preset's zone is kept when
// one of the wanted keys falls in its key range (velocity layers are all
// kept: the game's velocities are not the soundfont's business), and an
// instrument's zone likewise for the keys its preset zones pass on.
#include <algorithm>
#include <bitset>
#include <map>
#include <utility>

#include "tools/sf2/sf2_file.h"

namespace vintaro::sf2 {
namespace {

using Keys = std::bitset<128>;

// The samples after a sample's end, which interpolation may read.
constexpr std::uint32_t kGuard = 46;
constexpr std::uint16_t kLinkedTypes = 2 | 4 | 8;
constexpr std::uint16_t kRomSample = 0x8000;

struct Zone {
  std::size_t firstGenerator, endGenerator, firstModulator, endModulator;
};

Zone zone(const std::vector<Bag>& bags, std::size_t j) {
  return {bags[j].generator, bags[j + 1].generator, bags[j].modulator, bags[j + 1].modulator};
}

// The value of generator `op` in a zone, or -1.
long value(const std::vector<Generator>& gens, const Zone& z, std::uint16_t op) {
  for (std::size_t g = z.firstGenerator; g < z.endGenerator; ++g)
    if (gens[g].op == op) return gens[g].amount;
  return -1;
}

// The keys of `keys` that a zone's key range holds (all without one).
Keys reached(const std::vector<Generator>& gens, const Zone& z, const Keys& keys) {
  const long range = value(gens, z, kKeyRange);
  if (range < 0) return keys;
  Keys in;
  for (long k = range & 0xFF; k <= (range >> 8 & 0xFF) && k < 128; ++k)
    in.set(static_cast<std::size_t>(k));
  return in & keys;
}

// The zones of one header: the global one (the first, if it names no
// instrument or sample) and those that do name one; others are ignored, as
// players ignore them.
struct Zones {
  long global = -1;
  std::vector<std::size_t> named;
};

template <typename Header>
Zones zonesOf(const std::vector<Header>& headers, std::size_t h, const std::vector<Bag>& bags,
              const std::vector<Generator>& gens, std::uint16_t op) {
  Zones out;
  for (std::size_t j = headers[h].bag; j < headers[h + 1].bag; ++j) {
    if (value(gens, zone(bags, j), op) >= 0) {
      out.named.push_back(j);
    } else if (j == headers[h].bag) {
      out.global = static_cast<long>(j);
    }
  }
  return out;
}

// Appends zone j of the input with its records, `op`'s value renumbered.
void copyZone(const std::vector<Bag>& bags, const std::vector<Generator>& gens,
              const std::vector<Modulator>& mods, std::size_t j, std::uint16_t op,
              const std::map<std::size_t, std::uint16_t>& renumber, std::vector<Bag>& outBags,
              std::vector<Generator>& outGens, std::vector<Modulator>& outMods) {
  const Zone z = zone(bags, j);
  outBags.push_back(
      {static_cast<std::uint16_t>(outGens.size()), static_cast<std::uint16_t>(outMods.size())});
  for (std::size_t g = z.firstGenerator; g < z.endGenerator; ++g) {
    Generator copy = gens[g];
    if (copy.op == op) copy.amount = renumber.at(copy.amount);
    outGens.push_back(copy);
  }
  outMods.insert(outMods.end(), mods.begin() + static_cast<std::ptrdiff_t>(z.firstModulator),
                 mods.begin() + static_cast<std::ptrdiff_t>(z.endModulator));
}

// The terminal records that close each list.
template <typename Header>
void closeLists(std::vector<Header>& headers, const Header& terminal, std::vector<Bag>& bags,
                std::vector<Generator>& gens, const Generator& lastGen,
                std::vector<Modulator>& mods, const Modulator& lastMod) {
  Header end = terminal;
  end.bag = static_cast<std::uint16_t>(bags.size());
  headers.push_back(end);
  bags.push_back(
      {static_cast<std::uint16_t>(gens.size()), static_cast<std::uint16_t>(mods.size())});
  gens.push_back(lastGen);
  mods.push_back(lastMod);
}

std::string presetName(std::uint16_t bank, std::uint16_t program) {
  return "preset " + std::to_string(bank) + ":" + std::to_string(program);
}

}  // namespace

bool subset(const SoundFont& f, const std::vector<Wanted>& wanted, SoundFont& out,
            std::string& error) {
  out = SoundFont{};
  // The same preset wanted twice is wanted once with both sets of keys.
  std::map<std::pair<std::uint16_t, std::uint16_t>, Keys> wantedKeys;
  for (const Wanted& w : wanted) {
    Keys& keys = wantedKeys[{w.bank, w.program}];
    for (const std::uint8_t k : w.keys)
      if (k < 128) keys.set(k);
  }

  // The presets, in the file's order, and the keys each of their zones passes
  // on to its instrument.
  struct KeptPreset {
    std::size_t header;
    Zones zones;
    std::vector<Keys> keys;  // by named zone
  };
  std::vector<KeptPreset> presets;
  std::map<std::size_t, Keys> instrumentKeys;
  for (const auto& [id, keys] : wantedKeys) {
    std::size_t h = 0;
    while (h + 1 < f.presets.size() &&
           (f.presets[h].bank != id.first || f.presets[h].preset != id.second))
      ++h;
    if (h + 1 >= f.presets.size()) {
      error = "no " + presetName(id.first, id.second);
      return false;
    }
    KeptPreset p{h, zonesOf(f.presets, h, f.presetBags, f.presetGenerators, kInstrument), {}};
    for (const std::size_t j : p.zones.named) {
      const Zone z = zone(f.presetBags, j);
      p.keys.push_back(reached(f.presetGenerators, z, keys));
      instrumentKeys[static_cast<std::size_t>(value(f.presetGenerators, z, kInstrument))] |=
          p.keys.back();
    }
    presets.push_back(std::move(p));
  }
  std::sort(presets.begin(), presets.end(),
            [](const KeptPreset& a, const KeptPreset& b) { return a.header < b.header; });

  // The instruments' zones those keys reach, and their samples.
  struct KeptInstrument {
    Zones zones;  // named: only the reached ones
  };
  std::map<std::size_t, KeptInstrument> instruments;
  std::map<std::size_t, std::uint16_t> instrumentNumber;
  std::map<std::size_t, std::uint16_t> sampleNumber;
  for (const auto& [i, keys] : instrumentKeys) {
    if (keys.none()) continue;
    const Zones all =
        zonesOf(f.instruments, i, f.instrumentBags, f.instrumentGenerators, kSampleId);
    KeptInstrument kept{{all.global, {}}};
    for (const std::size_t j : all.named) {
      const Zone z = zone(f.instrumentBags, j);
      if (reached(f.instrumentGenerators, z, keys).none()) continue;
      kept.zones.named.push_back(j);
      std::size_t s = static_cast<std::size_t>(value(f.instrumentGenerators, z, kSampleId));
      // A stereo sample with its partner, and the partner's partner.
      for (int hops = 0; hops < 4 && !sampleNumber.count(s); ++hops) {
        sampleNumber[s] = 0;
        const SampleHeader& h = f.sampleHeaders[s];
        if (!(h.type & kLinkedTypes) || h.link + std::size_t{1} >= f.sampleHeaders.size()) break;
        s = h.link;
      }
    }
    if (kept.zones.named.empty()) continue;
    instrumentNumber[i] = static_cast<std::uint16_t>(instruments.size());
    instruments[i] = std::move(kept);
  }

  for (KeptPreset& p : presets) {
    const std::size_t first = out.presetBags.size();
    PresetHeader header = f.presets[p.header];
    header.bag = static_cast<std::uint16_t>(first);
    if (p.zones.global >= 0)
      copyZone(f.presetBags, f.presetGenerators, f.presetModulators,
               static_cast<std::size_t>(p.zones.global), kInstrument, instrumentNumber,
               out.presetBags, out.presetGenerators, out.presetModulators);
    bool sounds = false;
    for (std::size_t n = 0; n < p.zones.named.size(); ++n) {
      const std::size_t j = p.zones.named[n];
      const auto i =
          static_cast<std::size_t>(value(f.presetGenerators, zone(f.presetBags, j), kInstrument));
      const auto kept = instruments.find(i);
      if (kept == instruments.end()) continue;
      const bool reaches = std::any_of(
          kept->second.zones.named.begin(), kept->second.zones.named.end(), [&](std::size_t iz) {
            return reached(f.instrumentGenerators, zone(f.instrumentBags, iz), p.keys[n]).any();
          });
      if (!reaches) continue;
      copyZone(f.presetBags, f.presetGenerators, f.presetModulators, j, kInstrument,
               instrumentNumber, out.presetBags, out.presetGenerators, out.presetModulators);
      sounds = true;
    }
    if (!sounds) {
      error = "the keys wanted of " + presetName(header.bank, header.preset) + " reach no sample";
      return false;
    }
    out.presets.push_back(header);
  }
  closeLists(out.presets, f.presets.back(), out.presetBags, out.presetGenerators,
             f.presetGenerators.back(), out.presetModulators, f.presetModulators.back());

  // Samples first, so that the instruments' zones can name their new numbers.
  // Samples that share data are copied apart: never more than the input's
  // data with a guard each (a file whose headers overlap at will could ask
  // for far more).
  const std::size_t limit = f.samples.size() + kGuard * f.sampleHeaders.size();
  for (auto& [s, number] : sampleNumber) {
    number = static_cast<std::uint16_t>(out.sampleHeaders.size());
    SampleHeader h = f.sampleHeaders[s];
    if (!(h.type & kRomSample)) {
      if (h.end - h.start + kGuard > limit - out.samples.size()) {
        error = "the samples overlap too much to be copied apart";
        return false;
      }
      const std::uint32_t start = static_cast<std::uint32_t>(out.samples.size());
      const std::uint32_t guardEnd =
          static_cast<std::uint32_t>(std::min<std::size_t>(h.end + kGuard, f.samples.size()));
      out.samples.insert(out.samples.end(), f.samples.begin() + h.start,
                         f.samples.begin() + guardEnd);
      if (!f.samples24.empty())
        out.samples24.insert(out.samples24.end(), f.samples24.begin() + h.start,
                             f.samples24.begin() + guardEnd);
      const std::uint32_t padding = kGuard - (guardEnd - h.end);
      out.samples.insert(out.samples.end(), padding, 0);
      if (!f.samples24.empty()) out.samples24.insert(out.samples24.end(), padding, 0);
      const auto moved = [&](std::uint32_t at) {
        return std::clamp(at, h.start, h.end) - h.start + start;
      };
      h.loopStart = moved(h.loopStart);
      h.loopEnd = moved(h.loopEnd);
      h.end = h.end - h.start + start;
      h.start = start;
    }
    out.sampleHeaders.push_back(h);
  }
  for (SampleHeader& h : out.sampleHeaders) {
    const auto partner = sampleNumber.find(h.link);
    if (h.type & kLinkedTypes) h.link = partner == sampleNumber.end() ? 0 : partner->second;
  }
  out.sampleHeaders.push_back(f.sampleHeaders.back());

  for (const auto& [i, kept] : instruments) {
    InstrumentHeader header = f.instruments[i];
    header.bag = static_cast<std::uint16_t>(out.instrumentBags.size());
    out.instruments.push_back(header);
    std::vector<std::size_t> zones = kept.zones.named;
    if (kept.zones.global >= 0) zones.insert(zones.begin(), kept.zones.global);
    for (const std::size_t j : zones)
      copyZone(f.instrumentBags, f.instrumentGenerators, f.instrumentModulators, j, kSampleId,
               sampleNumber, out.instrumentBags, out.instrumentGenerators,
               out.instrumentModulators);
  }
  closeLists(out.instruments, f.instruments.back(), out.instrumentBags, out.instrumentGenerators,
             f.instrumentGenerators.back(), out.instrumentModulators,
             f.instrumentModulators.back());

  out.info = f.info;
  return true;
}

}  // namespace vintaro::sf2
