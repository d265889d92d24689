// Every sound of the game, as General MIDI short messages.
#pragma once

#include <cstdint>

#include "app/platform.h"
#include "game/game_state.h"

namespace vintaro {

constexpr std::uint32_t shortMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  return static_cast<std::uint32_t>(status) | static_cast<std::uint32_t>(data1) << 8 |
         static_cast<std::uint32_t>(data2) << 16;
}

inline constexpr std::uint8_t kProgramChange = 0xC0;  // channel 1
inline constexpr std::uint8_t kNoteOn = 0x90;         // channel 1
inline constexpr std::uint8_t kDrumOn = 0x99;         // channel 10

struct TuneNote {
  std::uint8_t note;
  int heldMs;
};
inline constexpr TuneNote kVictoryTune[] = {{80, 650}, {82, 650}, {82, 650}, {80, 650},
                                            {82, 650}, {85, 650}, {82, 650}, {80, 1000}};

void startProgram(GameState& state, Platform& platform);
void blockNoteOff(GameState& state, Platform& platform);
void blockNote(GameState& state, Platform& platform);
void lostBallCue(GameState& state, Platform& platform);
void paddleCue(GameState& state, Platform& platform);
// Holds the thread for the whole tune.
void victoryJingle(GameState& state, Platform& platform);

}  // namespace vintaro
