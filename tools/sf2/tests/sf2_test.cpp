// vintaro-sf2-subset: what it cuts sounds in FluidSynth as the whole
// soundfont does, note for note, and bad files are refused.
#include <fluidsynth.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/sf2/sf2_file.h"

namespace vintaro::sf2 {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string text(const fs::path& p) {
  const std::vector<std::uint8_t> bytes = slurp(p);
  return {bytes.begin(), bytes.end()};
}

// The tool as the browser build runs it; its exit code, its error text in `err`.
int runTool(const std::string& args, const fs::path& err) {
  const std::string command =
      std::string(VINTARO_SF2_SUBSET_EXE) + " " + args + " 2>" + err.string();
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Sf2Test : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(VINTARO_SOUNDFONT)) GTEST_SKIP() << VINTARO_SOUNDFONT << " is not installed";
    dir_ = fs::temp_directory_path() /
           ("vintaro-sf2-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }
  fs::path dir_;
};

// One synthesizer on one soundfont, rendering a note's first second.
class Render {
 public:
  explicit Render(const std::string& soundfont) {
    settings_ = new_fluid_settings();
    fluid_settings_setnum(settings_, "synth.sample-rate", 44100);
    synth_ = new_fluid_synth(settings_);
    loaded_ = fluid_synth_sfload(synth_, soundfont.c_str(), 1) != FLUID_FAILED;
  }
  ~Render() {
    delete_fluid_synth(synth_);
    delete_fluid_settings(settings_);
  }
  bool loaded() const { return loaded_; }

  // Held for 0.6 s (as a victory note is), then let go for 0.4 s.
  std::vector<float> note(int bank, int program, int key, int velocity) {
    const int channel = bank == 128 ? 9 : 0;
    if (bank != 128) fluid_synth_program_select(synth_, channel, 1, 0, program);
    fluid_synth_noteon(synth_, channel, key, velocity);
    std::vector<float> out = frames(26460);
    fluid_synth_noteoff(synth_, channel, key);
    const std::vector<float> tail = frames(17640);
    out.insert(out.end(), tail.begin(), tail.end());
    fluid_synth_all_sounds_off(synth_, -1);
    frames(4410);
    return out;
  }

 private:
  std::vector<float> frames(int n) {
    std::vector<float> lr(2 * static_cast<std::size_t>(n));
    fluid_synth_write_float(synth_, n, lr.data(), 0, 2, lr.data(), 1, 2);
    return lr;
  }
  fluid_settings_t* settings_;
  fluid_synth_t* synth_;
  bool loaded_ = false;
};

double rms(const std::vector<float>& v) {
  double sum = 0;
  for (const float x : v) sum += double{x} * x;
  return std::sqrt(sum / static_cast<double>(v.size()));
}

TEST_F(Sf2Test, EachOfTheGameNotesSoundsAsWithTheWholeSoundfont) {
  const fs::path cut = dir_ / "cut.sf2";
  ASSERT_EQ(runTool(std::string(VINTARO_SOUNDFONT) + " " + cut.string() + " " + VINTARO_GAME_SOUNDS,
                    dir_ / "err.txt"),
            0)
      << text(dir_ / "err.txt");
  EXPECT_LT(fs::file_size(cut), fs::file_size(VINTARO_SOUNDFONT) / 20);

  // Only the three presets, and the drum kit without its other keys' samples.
  const std::vector<std::uint8_t> bytes = slurp(cut);
  SoundFont font;
  std::string error;
  ASSERT_TRUE(read(bytes.data(), bytes.size(), font, error)) << error;
  ASSERT_EQ(font.presets.size(), 4u);
  EXPECT_EQ(font.presets[0].name, "Standard");
  EXPECT_EQ(font.presets[1].name, "Synth Strings 2");
  EXPECT_EQ(font.presets[2].name, "Xylophone");

  fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
  Render whole(VINTARO_SOUNDFONT), part(cut.string());
  ASSERT_TRUE(whole.loaded() && part.loaded());
  struct Note {
    int bank, program, key, velocity;
  };
  std::vector<Note> notes;
  for (int key = 71; key <= 79; ++key) notes.push_back({0, 13, key, 100});
  for (const int key : {80, 82, 85}) notes.push_back({0, 51, key, 127});
  for (const int key : {37, 45}) notes.push_back({128, 0, key, 127});
  for (const Note& n : notes) {
    SCOPED_TRACE(::testing::Message() << n.bank << ":" << n.program << " key " << n.key);
    const std::vector<float> want = whole.note(n.bank, n.program, n.key, n.velocity);
    const std::vector<float> got = part.note(n.bank, n.program, n.key, n.velocity);
    EXPECT_GT(rms(want), 1e-3);
    ASSERT_EQ(got, want);
  }
}

TEST_F(Sf2Test, WritesBackWhatItReadsByteForByte) {
  const std::vector<std::uint8_t> bytes = slurp(VINTARO_SOUNDFONT);
  SoundFont font;
  std::string error;
  ASSERT_TRUE(read(bytes.data(), bytes.size(), font, error)) << error;
  EXPECT_EQ(write(font), bytes);
}

TEST_F(Sf2Test, CutShortOrMisindexedFilesAreRefused) {
  const fs::path cut = dir_ / "cut.sf2";
  ASSERT_EQ(
      runTool(std::string(VINTARO_SOUNDFONT) + " " + cut.string() + " 128:0:37", dir_ / "err.txt"),
      0);
  std::vector<std::uint8_t> bytes = slurp(cut);
  SoundFont font;
  std::string error;
  for (std::size_t size = 0; size < bytes.size(); size += 97)
    EXPECT_FALSE(read(bytes.data(), size, font, error)) << size;

  // The instrument's zone naming a sample past the list: its generator is the
  // last before the terminal one, found from the end of the file.
  ASSERT_TRUE(read(bytes.data(), bytes.size(), font, error));
  const std::size_t igenEnd = bytes.size() - 46 * font.sampleHeaders.size() - 8;
  const std::size_t last = igenEnd - 8;
  ASSERT_EQ(bytes[last], kSampleId);
  bytes[last + 2] = static_cast<std::uint8_t>(font.sampleHeaders.size());
  EXPECT_FALSE(read(bytes.data(), bytes.size(), font, error));
  EXPECT_EQ(error, "a zone names an instrument or sample that is not there");
}

TEST_F(Sf2Test, APresetThatIsNotThereOrKeysThatReachNothingAreErrors) {
  const std::string in = std::string(VINTARO_SOUNDFONT) + " " + (dir_ / "cut.sf2").string();
  const fs::path err = dir_ / "err.txt";
  EXPECT_EQ(runTool(in + " 0:13:71 5:0:60", err), 1);
  EXPECT_NE(text(err).find("no preset 5:0"), std::string::npos);
  EXPECT_EQ(runTool(in + " 128:0:10", err), 1);
  EXPECT_NE(text(err).find("reach no sample"), std::string::npos);
  EXPECT_EQ(runTool(in + " 0:13:79-71", err), 2);
  EXPECT_EQ(runTool((dir_ / "none.sf2").string() + " out.sf2 0:13:71", err), 1);
}

}  // namespace
}  // namespace vintaro::sf2
