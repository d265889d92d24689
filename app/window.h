// Start-up and the window procedure: the two places everything runs from.
#pragma once

#include "app/platform.h"
#include "game/game_state.h"

namespace vintaro {

// The five messages the game handles; a platform sends every other one to its
// own default handling.
enum class Message { Create, Destroy, Paint, Char, Timer };

// The main window's title, the same on every desktop.
inline constexpr char kWindowTitle[] = "Vintaro v2.0 2005/09 (https://pirumo.example/)";

// Exit codes of the program.
inline constexpr int kExitFailure = -1;
inline constexpr int kExitNormal = 0;

// Runs the whole program: class, window, files, first paint, MIDI, message
// loop. Returns the exit code.
int runGame(GameState& state, Platform& platform);

// Dispatches one of the five messages. `window` is the main window (needed at
// creation, before mainWindow is set); `code` is the character of a Char.
void windowProc(GameState& state, Platform& platform, Handle window, Message message,
                unsigned code = 0);

void onCreate(GameState& state, Platform& platform, Handle window);
void onDestroy(GameState& state, Platform& platform);

}  // namespace vintaro
