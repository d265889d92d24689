#include "tools/sf2/sf2_file.h"

#include <algorithm>
#include <cstring>

namespace vintaro::sf2 {
namespace {

constexpr std::size_t kPresetSize = 38;
constexpr std::size_t kBagSize = 4;
constexpr std::size_t kModulatorSize = 10;
constexpr std::size_t kGeneratorSize = 4;
constexpr std::size_t kInstrumentSize = 22;
constexpr std::size_t kSampleSize = 46;
constexpr std::size_t kNameSize = 20;
constexpr std::uint16_t kRomSample = 0x8000;

// A span of the file; every read is checked against its end.
struct Bytes {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;

  std::uint16_t u16(std::size_t at) const {
    return static_cast<std::uint16_t>(data[at] | data[at + 1] << 8);
  }
  std::uint32_t u32(std::size_t at) const {
    return static_cast<std::uint32_t>(u16(at)) | static_cast<std::uint32_t>(u16(at + 2)) << 16;
  }
  bool is(std::size_t at, const char* id) const { return std::memcmp(data + at, id, 4) == 0; }
  std::string name(std::size_t at) const {
    const char* text = reinterpret_cast<const char*>(data + at);
    return std::string(text, strnlen(text, kNameSize));
  }
};

struct Chunk {
  char id[5] = {};
  Bytes body;
};

// The chunks of a list's body, in order. False when a size runs past it.
bool chunks(Bytes list, std::vector<Chunk>& out) {
  std::size_t at = 0;
  while (list.size - at >= 8) {
    Chunk c;
    std::memcpy(c.id, list.data + at, 4);
    const std::uint32_t size = list.u32(at + 4);
    at += 8;
    if (size > list.size - at) return false;
    c.body = {list.data + at, size};
    out.push_back(c);
    at += size;
    if (at < list.size && size % 2 == 1) ++at;  // the pad byte
  }
  return at == list.size || list.size - at < 8;
}

const Chunk* find(const std::vector<Chunk>& all, const char* id) {
  for (const Chunk& c : all)
    if (std::memcmp(c.id, id, 4) == 0) return &c;
  return nullptr;
}

// A list's record chunk: a whole number of records, the terminal one at least.
template <typename Record, typename Parse>
bool records(const std::vector<Chunk>& all, const char* id, std::size_t recordSize,
             std::vector<Record>& out, Parse parse, std::string& error) {
  const Chunk* c = find(all, id);
  if (c == nullptr || c->body.size % recordSize != 0 || c->body.size == 0) {
    error = std::string("no well-formed ") + id + " chunk";
    return false;
  }
  const std::size_t n = c->body.size / recordSize;
  // Indices are 16-bit: a longer list could not be reached whole.
  if (n > 0x10000) {
    error = std::string("too many records in ") + id;
    return false;
  }
  out.resize(n);
  for (std::size_t i = 0; i < n; ++i) parse(c->body, i * recordSize, out[i]);
  return true;
}

void parseBag(const Bytes& b, std::size_t at, Bag& r) {
  r.generator = b.u16(at);
  r.modulator = b.u16(at + 2);
}

void parseModulator(const Bytes& b, std::size_t at, Modulator& r) {
  r.source = b.u16(at);
  r.destination = b.u16(at + 2);
  r.amount = static_cast<std::int16_t>(b.u16(at + 4));
  r.amountSource = b.u16(at + 6);
  r.transform = b.u16(at + 8);
}

void parseGenerator(const Bytes& b, std::size_t at, Generator& r) {
  r.op = b.u16(at);
  r.amount = b.u16(at + 2);
}

// The headers' bag indices and the bags' generator and modulator indices
// rise and stay inside the lists they index.
template <typename Header>
bool zonesFit(const std::vector<Header>& headers, const std::vector<Bag>& bags,
              std::size_t generators, std::size_t modulators) {
  for (std::size_t i = 0; i < headers.size(); ++i) {
    if (headers[i].bag >= bags.size()) return false;
    if (i > 0 && headers[i].bag < headers[i - 1].bag) return false;
  }
  for (std::size_t i = 0; i < bags.size(); ++i) {
    if (bags[i].generator > generators || bags[i].modulator > modulators) return false;
    if (i > 0 &&
        (bags[i].generator < bags[i - 1].generator || bags[i].modulator < bags[i - 1].modulator))
      return false;
  }
  return true;
}

// Every generator naming another list's record names one before that list's
// terminal record; the terminal generator too, which a zone may take in.
bool referencesFit(const std::vector<Generator>& generators, std::uint16_t op,
                   std::size_t records) {
  for (std::size_t i = 0; i < generators.size(); ++i)
    if (generators[i].op == op && generators[i].amount + std::size_t{1} >= records) return false;
  return true;
}

bool readHydra(const Bytes& pdta, SoundFont& f, std::string& error) {
  std::vector<Chunk> all;
  if (!chunks(pdta, all)) {
    error = "a pdta chunk runs past its list";
    return false;
  }
  const bool ok =
      records(
          all, "phdr", kPresetSize, f.presets,
          [](const Bytes& b, std::size_t at, PresetHeader& r) {
            r.name = b.name(at);
            r.preset = b.u16(at + 20);
            r.bank = b.u16(at + 22);
            r.bag = b.u16(at + 24);
            r.library = b.u32(at + 26);
            r.genre = b.u32(at + 30);
            r.morphology = b.u32(at + 34);
          },
          error) &&
      records(all, "pbag", kBagSize, f.presetBags, parseBag, error) &&
      records(all, "pmod", kModulatorSize, f.presetModulators, parseModulator, error) &&
      records(all, "pgen", kGeneratorSize, f.presetGenerators, parseGenerator, error) &&
      records(
          all, "inst", kInstrumentSize, f.instruments,
          [](const Bytes& b, std::size_t at, InstrumentHeader& r) {
            r.name = b.name(at);
            r.bag = b.u16(at + 20);
          },
          error) &&
      records(all, "ibag", kBagSize, f.instrumentBags, parseBag, error) &&
      records(all, "imod", kModulatorSize, f.instrumentModulators, parseModulator, error) &&
      records(all, "igen", kGeneratorSize, f.instrumentGenerators, parseGenerator, error) &&
      records(
          all, "shdr", kSampleSize, f.sampleHeaders,
          [](const Bytes& b, std::size_t at, SampleHeader& r) {
            r.name = b.name(at);
            r.start = b.u32(at + 20);
            r.end = b.u32(at + 24);
            r.loopStart = b.u32(at + 28);
            r.loopEnd = b.u32(at + 32);
            r.rate = b.u32(at + 36);
            r.originalPitch = b.data[at + 40];
            r.pitchCorrection = static_cast<std::int8_t>(b.data[at + 41]);
            r.link = b.u16(at + 42);
            r.type = b.u16(at + 44);
          },
          error);
  if (!ok) return false;
  if (!zonesFit(f.presets, f.presetBags, f.presetGenerators.size(), f.presetModulators.size()) ||
      !zonesFit(f.instruments, f.instrumentBags, f.instrumentGenerators.size(),
                f.instrumentModulators.size())) {
    error = "a zone index runs outside its list";
    return false;
  }
  if (!referencesFit(f.presetGenerators, kInstrument, f.instruments.size()) ||
      !referencesFit(f.instrumentGenerators, kSampleId, f.sampleHeaders.size())) {
    error = "a zone names an instrument or sample that is not there";
    return false;
  }
  for (std::size_t i = 0; i + 1 < f.sampleHeaders.size(); ++i) {
    const SampleHeader& s = f.sampleHeaders[i];
    if (s.type & kRomSample) continue;
    const std::size_t n = f.samples.size();
    if (s.start > s.end || s.end > n || s.loopStart > n || s.loopEnd > n) {
      error = "sample \"" + s.name + "\" lies outside the sample data";
      return false;
    }
  }
  return true;
}

// Little-endian output.
struct Out {
  std::vector<std::uint8_t> bytes;

  void u8(std::uint32_t v) { bytes.push_back(static_cast<std::uint8_t>(v)); }
  void u16(std::uint32_t v) {
    u8(v & 0xFF);
    u8(v >> 8 & 0xFF);
  }
  void u32(std::uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  }
  void id(const char* four) { bytes.insert(bytes.end(), four, four + 4); }
  void name(const std::string& n) {
    const std::size_t length = std::min(n.size(), kNameSize);
    bytes.insert(bytes.end(), n.begin(), n.begin() + static_cast<std::ptrdiff_t>(length));
    bytes.insert(bytes.end(), kNameSize - length, 0);
  }
  // Starts a chunk; end() fills in its size and pads it to an even length.
  std::size_t begin(const char* four) {
    id(four);
    u32(0);
    return bytes.size();
  }
  void end(std::size_t body) {
    const std::size_t size = bytes.size() - body;
    for (int i = 0; i < 4; ++i)
      bytes[body - 4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (8 * i));
    if (size % 2 == 1) u8(0);
  }
};

void writeBags(Out& o, const char* id, const std::vector<Bag>& bags) {
  const std::size_t c = o.begin(id);
  for (const Bag& b : bags) {
    o.u16(b.generator);
    o.u16(b.modulator);
  }
  o.end(c);
}

void writeModulators(Out& o, const char* id, const std::vector<Modulator>& mods) {
  const std::size_t c = o.begin(id);
  for (const Modulator& m : mods) {
    o.u16(m.source);
    o.u16(m.destination);
    o.u16(static_cast<std::uint16_t>(m.amount));
    o.u16(m.amountSource);
    o.u16(m.transform);
  }
  o.end(c);
}

void writeGenerators(Out& o, const char* id, const std::vector<Generator>& gens) {
  const std::size_t c = o.begin(id);
  for (const Generator& g : gens) {
    o.u16(g.op);
    o.u16(g.amount);
  }
  o.end(c);
}

}  // namespace

bool read(const std::uint8_t* data, std::size_t size, SoundFont& font, std::string& error) {
  font = SoundFont{};
  const Bytes file{data, size};
  if (size < 12 || !file.is(0, "RIFF") || !file.is(8, "sfbk")) {
    error = "not a SoundFont 2 file (no RIFF sfbk header)";
    return false;
  }
  const std::uint32_t riffSize = file.u32(4);
  if (riffSize < 4 || riffSize > size - 8) {
    error = "the file is shorter than its RIFF header says";
    return false;
  }
  std::vector<Chunk> top;
  if (!chunks({data + 12, riffSize - std::size_t{4}}, top)) {
    error = "a chunk runs past the end of the file";
    return false;
  }
  const Chunk* lists[3] = {};
  const char* kinds[3] = {"INFO", "sdta", "pdta"};
  for (const Chunk& c : top) {
    if (std::memcmp(c.id, "LIST", 4) != 0 || c.body.size < 4) continue;
    for (int k = 0; k < 3; ++k)
      if (c.body.is(0, kinds[k]) && lists[k] == nullptr) lists[k] = &c;
  }
  for (int k = 0; k < 3; ++k) {
    if (lists[k] == nullptr) {
      error = std::string("no ") + kinds[k] + " list";
      return false;
    }
  }
  font.info.assign(lists[0]->body.data + 4, lists[0]->body.data + lists[0]->body.size);

  std::vector<Chunk> sdta;
  if (!chunks({lists[1]->body.data + 4, lists[1]->body.size - 4}, sdta)) {
    error = "an sdta chunk runs past its list";
    return false;
  }
  if (const Chunk* smpl = find(sdta, "smpl")) {
    font.samples.resize(smpl->body.size / 2);
    for (std::size_t i = 0; i < font.samples.size(); ++i)
      font.samples[i] = static_cast<std::int16_t>(smpl->body.u16(2 * i));
    // The 24-bit part only when it matches the 16-bit one.
    const Chunk* sm24 = find(sdta, "sm24");
    if (sm24 != nullptr && sm24->body.size >= font.samples.size())
      font.samples24.assign(sm24->body.data, sm24->body.data + font.samples.size());
  }
  return readHydra({lists[2]->body.data + 4, lists[2]->body.size - 4}, font, error);
}

std::vector<std::uint8_t> write(const SoundFont& f) {
  Out o;
  const std::size_t riff = o.begin("RIFF");
  o.id("sfbk");

  std::size_t list = o.begin("LIST");
  o.id("INFO");
  o.bytes.insert(o.bytes.end(), f.info.begin(), f.info.end());
  o.end(list);

  list = o.begin("LIST");
  o.id("sdta");
  std::size_t c = o.begin("smpl");
  for (const std::int16_t s : f.samples) o.u16(static_cast<std::uint16_t>(s));
  o.end(c);
  if (!f.samples24.empty()) {
    c = o.begin("sm24");
    o.bytes.insert(o.bytes.end(), f.samples24.begin(), f.samples24.end());
    o.end(c);
  }
  o.end(list);

  list = o.begin("LIST");
  o.id("pdta");
  c = o.begin("phdr");
  for (const PresetHeader& p : f.presets) {
    o.name(p.name);
    o.u16(p.preset);
    o.u16(p.bank);
    o.u16(p.bag);
    o.u32(p.library);
    o.u32(p.genre);
    o.u32(p.morphology);
  }
  o.end(c);
  writeBags(o, "pbag", f.presetBags);
  writeModulators(o, "pmod", f.presetModulators);
  writeGenerators(o, "pgen", f.presetGenerators);
  c = o.begin("inst");
  for (const InstrumentHeader& i : f.instruments) {
    o.name(i.name);
    o.u16(i.bag);
  }
  o.end(c);
  writeBags(o, "ibag", f.instrumentBags);
  writeModulators(o, "imod", f.instrumentModulators);
  writeGenerators(o, "igen", f.instrumentGenerators);
  c = o.begin("shdr");
  for (const SampleHeader& s : f.sampleHeaders) {
    o.name(s.name);
    o.u32(s.start);
    o.u32(s.end);
    o.u32(s.loopStart);
    o.u32(s.loopEnd);
    o.u32(s.rate);
    o.u8(s.originalPitch);
    o.u8(static_cast<std::uint8_t>(s.pitchCorrection));
    o.u16(s.link);
    o.u16(s.type);
  }
  o.end(c);
  o.end(list);
  o.end(riff);
  return o.bytes;
}

}  // namespace vintaro::sf2
