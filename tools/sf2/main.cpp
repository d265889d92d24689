// vintaro-sf2-subset IN.sf2 OUT.sf2 BANK:PROGRAM:KEYS...
//
// Writes OUT.sf2 with only the presets named, each with only the zones, the
// instruments and the samples that its keys reach. KEYS is a comma-separated
// list of MIDI keys and ranges: 128:0:37,45 or 0:13:71-79.
#include <sys/stat.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "tools/sf2/sf2_file.h"

namespace {

using vintaro::sf2::Wanted;

// One number of 0..max, the whole of `text`.
bool number(const std::string& text, unsigned max, unsigned& out) {
  if (text.empty() || text.size() > 5) return false;
  out = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    out = out * 10 + static_cast<unsigned>(c - '0');
  }
  return out <= max;
}

bool parseWanted(const std::string& arg, Wanted& w) {
  const auto colon1 = arg.find(':');
  const auto colon2 = colon1 == std::string::npos ? colon1 : arg.find(':', colon1 + 1);
  if (colon2 == std::string::npos) return false;
  unsigned bank = 0, program = 0;
  if (!number(arg.substr(0, colon1), 128, bank) ||
      !number(arg.substr(colon1 + 1, colon2 - colon1 - 1), 127, program))
    return false;
  w.bank = static_cast<std::uint16_t>(bank);
  w.program = static_cast<std::uint16_t>(program);
  std::string keys = arg.substr(colon2 + 1) + ",";
  for (std::size_t at = 0, comma; (comma = keys.find(',', at)) != std::string::npos;
       at = comma + 1) {
    const std::string item = keys.substr(at, comma - at);
    const auto dash = item.find('-');
    unsigned low = 0, high = 0;
    if (!number(item.substr(0, dash), 127, low)) return false;
    high = low;
    if (dash != std::string::npos && (!number(item.substr(dash + 1), 127, high) || high < low))
      return false;
    for (unsigned k = low; k <= high; ++k) w.keys.push_back(static_cast<std::uint8_t>(k));
  }
  return true;
}

bool readFile(const char* name, std::vector<std::uint8_t>& bytes, std::string& error) {
  struct stat st {};
  if (stat(name, &st) != 0 || !S_ISREG(st.st_mode)) {
    error = "not a regular file";
    return false;
  }
  if (static_cast<unsigned long long>(st.st_size) > vintaro::sf2::kMaxFileBytes) {
    error = "larger than a soundfont this tool reads (1 GiB)";
    return false;
  }
  std::FILE* file = std::fopen(name, "rb");
  if (file == nullptr) {
    error = "cannot be opened";
    return false;
  }
  bytes.resize(static_cast<std::size_t>(st.st_size));
  const bool whole = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  std::fclose(file);
  if (!whole) error = "could not be read";
  return whole;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: vintaro-sf2-subset IN.sf2 OUT.sf2 BANK:PROGRAM:KEYS...\n"
                 "  KEYS: MIDI keys and ranges, comma-separated (0:13:71-79 128:0:37,45)\n";
    return 2;
  }
  std::vector<Wanted> wanted;
  for (int i = 3; i < argc; ++i) {
    Wanted w;
    if (!parseWanted(argv[i], w)) {
      std::cerr << "vintaro-sf2-subset: \"" << argv[i] << "\" is not BANK:PROGRAM:KEYS\n";
      return 2;
    }
    wanted.push_back(w);
  }
  std::vector<std::uint8_t> bytes;
  std::string error;
  vintaro::sf2::SoundFont font, cut;
  if (!readFile(argv[1], bytes, error) ||
      !vintaro::sf2::read(bytes.data(), bytes.size(), font, error) ||
      !vintaro::sf2::subset(font, wanted, cut, error)) {
    std::cerr << "vintaro-sf2-subset: " << argv[1] << ": " << error << '\n';
    return 1;
  }
  const std::vector<std::uint8_t> out = vintaro::sf2::write(cut);
  std::FILE* file = std::fopen(argv[2], "wb");
  bool written = file != nullptr && std::fwrite(out.data(), 1, out.size(), file) == out.size();
  if (file != nullptr) written = std::fclose(file) == 0 && written;
  if (!written) {
    std::cerr << "vintaro-sf2-subset: " << argv[2] << " could not be written\n";
    return 1;
  }
  return 0;
}
