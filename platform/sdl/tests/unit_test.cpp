// The desktop platform's pure logic: MIDI decoding, keys, status bar layout,
// ending signals.
#include <SDL_keycode.h>
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>

#include "game/game_state.h"
#include "platform/common/status_bar_frame.h"
#include "platform/sdl/end_signals.h"
#include "platform/sdl/key_input.h"
#include "platform/sdl/midi_synth.h"
#include "sound/cues.h"

namespace vintaro::sdl {
namespace {

using Type = MidiEvent::Type;

TEST(ShortMessage, TheGamesCuesDecodeExactly) {
  // startProgram: channel 1, Xylophone (program 13 counted from 0).
  EXPECT_EQ(decodeShortMessage(shortMessage(0xC0, 13, 0)),
            (MidiEvent{Type::ProgramChange, 0, 13, 0}));
  // blockNote for a value-9 block, then its end (Note On, velocity 0).
  EXPECT_EQ(decodeShortMessage(shortMessage(0x90, 79, 100)), (MidiEvent{Type::NoteOn, 0, 79, 100}));
  EXPECT_EQ(decodeShortMessage(shortMessage(0x90, 79, 0)), (MidiEvent{Type::NoteOff, 0, 79, 0}));
  // lostBallCue and paddleCue on channel 10.
  EXPECT_EQ(decodeShortMessage(shortMessage(0x99, 45, 127)), (MidiEvent{Type::NoteOn, 9, 45, 127}));
  EXPECT_EQ(decodeShortMessage(shortMessage(0x99, 37, 127)), (MidiEvent{Type::NoteOn, 9, 37, 127}));
  // victoryJingle's program change: SynthStrings 2.
  EXPECT_EQ(decodeShortMessage(shortMessage(0xC0, 51, 0)),
            (MidiEvent{Type::ProgramChange, 0, 51, 0}));
}

TEST(ShortMessage, OtherChannelMessages) {
  EXPECT_EQ(decodeShortMessage(0x00403C83u), (MidiEvent{Type::NoteOff, 3, 60, 64}));
  EXPECT_EQ(decodeShortMessage(0x00070BB2u), (MidiEvent{Type::ControlChange, 2, 11, 7}));
  EXPECT_EQ(decodeShortMessage(0x00400000u | 0xE0u), (MidiEvent{Type::PitchBend, 0, 8192, 0}));
  EXPECT_EQ(decodeShortMessage(0x000040D5u), (MidiEvent{Type::ChannelPressure, 5, 64, 0}));
  EXPECT_EQ(decodeShortMessage(0x00F0u).type, Type::None);
  EXPECT_EQ(decodeShortMessage(0x0040u).type, Type::None);  // no status byte
}

TEST(KeyInput, TextInputGivesItsCharactersCaseSensitive) {
  EXPECT_EQ(textInputCharacters(" "), std::vector<unsigned>{' '});
  EXPECT_EQ(textInputCharacters("aS;:,."), (std::vector<unsigned>{'a', 'S', ';', ':', ',', '.'}));
  EXPECT_EQ(textInputCharacters("\xC3\xA9\xE3\x81\x82"), (std::vector<unsigned>{0xE9, 0x3042}));
  EXPECT_EQ(textInputCharacters("\xF0\x9F\x8E\xAE"), std::vector<unsigned>{0x1F3AE});
  EXPECT_EQ(textInputCharacters("a\x80"
                                "b"),
            (std::vector<unsigned>{'a', 'b'}));
  EXPECT_EQ(textInputCharacters("a\xE3\x81"), std::vector<unsigned>{'a'});
}

TEST(KeyInput, KeysWithoutTextGiveWindowsControlCharacters) {
  EXPECT_EQ(controlCharacterOfKey(SDLK_RETURN), 0x0Du);
  EXPECT_EQ(controlCharacterOfKey(SDLK_KP_ENTER), 0x0Du);
  EXPECT_EQ(controlCharacterOfKey(SDLK_BACKSPACE), 0x08u);
  EXPECT_EQ(controlCharacterOfKey(SDLK_TAB), 0x09u);
  EXPECT_EQ(controlCharacterOfKey(SDLK_ESCAPE), 0x1Bu);
  EXPECT_EQ(controlCharacterOfKey(SDLK_LEFT), 0u);
  EXPECT_EQ(controlCharacterOfKey(SDLK_a), 0u);  // comes as text input
  EXPECT_EQ(controlCharacterOfKey(SDLK_LSHIFT), 0u);
}

TEST(StatusBarLayout, ThreePartsWithRightEdges210And380AndTheEnd) {
  const auto parts = statusPartRects(639, statusParts);
  EXPECT_EQ(parts[0], (BarRect{0, 2, 210, 19}));
  EXPECT_EQ(parts[1], (BarRect{212, 2, 168, 19}));
  EXPECT_EQ(parts[2], (BarRect{382, 2, 257, 19}));
  EXPECT_EQ(partInterior(parts[1]), (BarRect{213, 3, 166, 17}));
}

TEST(StatusBarLayout, ANarrowBarCutsTheLastPart) {
  const auto parts = statusPartRects(300, statusParts);
  EXPECT_EQ(parts[2].w, 0);
}

TEST(EndSignals, ASignalIsNotedWakesTheGameOnceAndCutsASleepShort) {
  std::atomic<int> woken{0};
  {
    EndSignals signals([&woken] { ++woken; });
    ASSERT_TRUE(signals.watching());
    EXPECT_FALSE(signals.raised());
    std::raise(SIGHUP);
    // Would outlast the test's time limit if the signal did not end it.
    signals.sleep(3600 * 1000);
    EXPECT_TRUE(signals.raised());
    std::raise(SIGTERM);
  }
  EXPECT_EQ(woken.load(), 1);
}

void earlierHandler(int) {}

TEST(EndSignals, EachSignalsEarlierHandlingIsPutBack) {
  const int signals[] = {SIGTERM, SIGINT, SIGHUP};
  struct sigaction earlier = {};
  earlier.sa_handler = earlierHandler;
  sigemptyset(&earlier.sa_mask);
  struct sigaction before[3] = {};
  for (int i = 0; i < 3; ++i) sigaction(signals[i], &earlier, &before[i]);
  {
    EndSignals watched([] {});
    ASSERT_TRUE(watched.watching());
  }
  for (int i = 0; i < 3; ++i) {
    struct sigaction now = {};
    sigaction(signals[i], &before[i], &now);
    EXPECT_EQ(now.sa_handler, &earlierHandler) << "signal " << signals[i];
  }
}

}  // namespace
}  // namespace vintaro::sdl
