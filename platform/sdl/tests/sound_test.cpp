// The sound layer rendered offline, without an audio device: the short
// messages of a block hit sound, the note-off silences them, channel 10 is
// percussion, and without a soundfont the layer stays silent and takes every
// message.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/sdl/audio_output.h"
#include "platform/sdl/midi_synth.h"
#include "sound/cues.h"

namespace vintaro::sdl {
namespace {

constexpr int kRate = 44100;

std::string soundFont() {
  const std::string path = findSoundFont(defaultSoundFonts());
  if (path.empty()) {
    ADD_FAILURE() << "no General MIDI soundfont (timgm6mb-soundfont: scripts/install-deps)";
  }
  return path;
}

// Renders `seconds` through `render` in 512-frame buffers, as the device does.
template <typename Render>
std::vector<std::int16_t> renderFor(double seconds, Render&& render) {
  const int frames = static_cast<int>(seconds * kRate);
  std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * 2);
  for (int at = 0; at < frames; at += 512) {
    render(&out[static_cast<std::size_t>(at) * 2], std::min(512, frames - at));
  }
  return out;
}

double rms(const std::vector<std::int16_t>& s, std::size_t from = 0) {
  double sum = 0;
  for (std::size_t i = from; i < s.size(); ++i) sum += static_cast<double>(s[i]) * s[i];
  return std::sqrt(sum / static_cast<double>(std::max<std::size_t>(1, s.size() - from)));
}

int peak(const std::vector<std::int16_t>& s, std::size_t from = 0) {
  int p = 0;
  for (std::size_t i = from; i < s.size(); ++i) p = std::max(p, std::abs(int{s[i]}));
  return p;
}

TEST(Synth, ChannelTenIsPercussionAndChannelOneMelodic) {
  auto synth = MidiSynth::create(kRate, soundFont());
  ASSERT_NE(synth, nullptr);
  EXPECT_EQ(synth->bankOf(9), 128);
  EXPECT_EQ(synth->bankOf(0), 0);
}

TEST(Synth, ABlockHitSoundsAndItsNoteOffSilencesIt) {
  auto synth = MidiSynth::create(kRate, soundFont());
  ASSERT_NE(synth, nullptr);
  const auto render = [&](std::int16_t* out, int frames) { synth->render(out, frames); };

  synth->send(shortMessage(0xC0, 13, 0));  // startProgram: Xylophone
  EXPECT_EQ(synth->programOf(0), 13);
  EXPECT_LT(peak(renderFor(0.1, render)), 8) << "sound before any note";

  // A tick that hits a value-9 block: blockNoteOff of the last note, then
  // blockNote 79 at velocity 100.
  synth->send(shortMessage(0x90, 0, 0));
  synth->send(shortMessage(0x90, 79, 100));
  const auto note = renderFor(0.22, render);  // one 220 ms tick
  EXPECT_GT(rms(note), 300.0);
  EXPECT_GT(peak(note), 2000);

  // The next tick's blockNoteOff ends it: then silence.
  synth->send(shortMessage(0x90, 79, 0));
  const auto after = renderFor(3.0, render);
  const std::size_t lastHalfSecond = after.size() - static_cast<std::size_t>(kRate);
  EXPECT_LT(peak(after, lastHalfSecond), 8) << "still sounding 2.5 s after the note-off";
  EXPECT_EQ(synth->activeVoices(), 0);
}

TEST(Synth, PercussionCuesSoundOnChannelTen) {
  auto synth = MidiSynth::create(kRate, soundFont());
  ASSERT_NE(synth, nullptr);
  const auto render = [&](std::int16_t* out, int frames) { synth->render(out, frames); };
  synth->send(shortMessage(0x99, 45, 127));  // lostBallCue: Low Tom
  EXPECT_GT(rms(renderFor(0.2, render)), 300.0);
  renderFor(3.0, render);
  synth->send(shortMessage(0x99, 37, 127));  // paddleCue: Side Stick
  EXPECT_GT(peak(renderFor(0.1, render)), 1000);
}

TEST(AudioOutput, MessagesSentWhileTheSoundfontLoadsAreKeptInOrder) {
  AudioOutput out;
  ASSERT_TRUE(out.openOffline(defaultSoundFonts(), kRate));
  out.send(shortMessage(0xC0, 13, 0));  // likely before the load ends
  ASSERT_TRUE(out.waitLoaded());
  EXPECT_EQ(out.programOf(0), 13);
  out.send(shortMessage(0x90, 79, 100));
  const auto render = [&](std::int16_t* s, int frames) { out.render(s, frames); };
  EXPECT_GT(rms(renderFor(0.22, render)), 300.0);
  out.send(shortMessage(0x90, 79, 0));
  const auto after = renderFor(3.0, render);
  EXPECT_LT(peak(after, after.size() - static_cast<std::size_t>(kRate)), 8);
  out.close();
}

TEST(AudioOutput, AnIdleSynthesizerIsNotRunButWakesForTheNextNote) {
  AudioOutput out;
  ASSERT_TRUE(out.openOffline(defaultSoundFonts(), kRate));
  ASSERT_TRUE(out.waitLoaded());
  const auto render = [&](std::int16_t* s, int frames) { out.render(s, frames); };
  const auto idle = renderFor(4.0, render);  // past kIdleFrames of silence
  EXPECT_EQ(peak(idle, idle.size() - 2048), 0);
  out.send(shortMessage(0x99, 37, 127));
  EXPECT_GT(peak(renderFor(0.1, render)), 1000);
}

TEST(AudioOutput, ASilentDeviceIsClosedAndTheNextNoteOpensItAgain) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  AudioOutput out;
  out.setSuspendAfterMs(100);
  ASSERT_TRUE(out.open(defaultSoundFonts(), nullptr));
  ASSERT_TRUE(out.waitLoaded());
  // Ticks' note-offs go on, the synthesizer stays silent: the device closes.
  for (int i = 0; i < 1000 && !out.suspended(); ++i) {
    out.send(shortMessage(0x90, 0, 0));
    SDL_Delay(20);
  }
  ASSERT_TRUE(out.suspended());
  SDL_Delay(200);  // the device closes on a thread of its own
  const long calls = out.callbacks();
  SDL_Delay(100);
  EXPECT_EQ(out.callbacks(), calls) << "an audio thread still runs";
  out.send(shortMessage(0x99, 37, 127));
  EXPECT_FALSE(out.suspended());
  for (int i = 0; i < 500 && out.callbacks() == calls; ++i) SDL_Delay(10);
  EXPECT_GT(out.callbacks(), calls);
  out.close();
}

TEST(AudioOutput, WithoutASoundfontItPlaysOnSilently) {
  AudioOutput out;
  EXPECT_FALSE(out.openOffline({"/nonexistent/Vintaro-test.sf2"}, kRate));
  EXPECT_TRUE(out.silent());
  out.send(shortMessage(0xC0, 13, 0));
  out.send(shortMessage(0x90, 79, 100));
  out.send(shortMessage(0x99, 45, 127));
  const auto render = [&](std::int16_t* s, int frames) { out.render(s, frames); };
  EXPECT_EQ(peak(renderFor(0.5, render)), 0);
  out.send(shortMessage(0x90, 79, 0));
  out.close();
}

TEST(AudioOutput, AFileThatIsNoSoundfontLeavesItSilent) {
  char path[] = "/tmp/vintaro-not-a-soundfont-XXXXXX";
  const int fd = ::mkstemp(path);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, "not a soundfont", 15), 15);
  ::close(fd);
  AudioOutput out;
  EXPECT_TRUE(out.openOffline({path}, kRate));  // the file exists: loading starts
  EXPECT_FALSE(out.waitLoaded());
  EXPECT_TRUE(out.silent());
  out.send(shortMessage(0x90, 79, 100));
  const auto render = [&](std::int16_t* s, int frames) { out.render(s, frames); };
  EXPECT_EQ(peak(renderFor(0.2, render)), 0);
  out.close();
  ::unlink(path);
}

}  // namespace
}  // namespace vintaro::sdl
