#include "app/window.h"

#include "app/status_bar.h"
#include "files/data_files.h"
#include "game/rules.h"
#include "render/painter.h"
#include "sound/cues.h"

namespace vintaro {

int runGame(GameState& s, Platform& p) {
  if (!p.registerWindowClass()) return kExitFailure;
  s.mainWindow = p.createMainWindow(s);
  if (s.mainWindow == nullptr) return kExitFailure;

  // The window is still hidden: a file that stops the game ends it here,
  // before anything is shown or any sound is made.
  if (!loadSettings(s, p)) return kExitNormal;
  if (!loadPicture(s, p)) return kExitNormal;

  p.showWindow(s.mainWindow);
  s.midiOut = p.openMidi();
  startProgram(s, p);
  const int code = p.runMessageLoop(s);
  p.closeMidi(s.midiOut);
  return code;
}

void onCreate(GameState& s, Platform& p, Handle window) {
  createStatusBar(s, p, window);
  fillBlockGrid(s);
  s.paintMode = kPaintFirstBoard;
  s.paused = 1;
}

void onDestroy(GameState& s, Platform& p) {
  p.killTimer(s.mainWindow);
  p.postQuit(0);
}

void windowProc(GameState& s, Platform& p, Handle window, Message message, unsigned code) {
  switch (message) {
    case Message::Create:
      onCreate(s, p, window);
      break;
    case Message::Destroy:
      onDestroy(s, p);
      break;
    case Message::Paint:
      paintBoard(s, p);
      break;
    case Message::Char:
      handleKey(s, p, code);
      break;
    case Message::Timer:
      stepBall(s, p);
      break;
  }
}

}  // namespace vintaro
