// The game's modal message box on the desktop, in the look of a classic
// Windows box: a window of its own titled with the caption, the warning or
// error icon, the text in the status bar's Japanese font (a line break at
// each "\n") and one OK button, answered by Enter, Space, Escape, a click or
// the window's close box. It runs no loop of its own: the platform's message
// loop hands it every event while it is up, so the main window goes on being
// ticked and painted under it.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <string>

#include "app/platform.h"

namespace vintaro::sdl {

class MessageBoxWindow {
 public:
  // Placed over `owner`, or centred on the screen when there is none (the
  // main window is not shown yet). Texts in UTF-8. Drawn at the main
  // window's `scale`: every line and margin that many pixels, the text set
  // at that many times its size.
  MessageBoxWindow(const std::string& caption, const std::string& text, BoxIcon icon,
                   SDL_Window* owner, int scale = 1);
  ~MessageBoxWindow();
  MessageBoxWindow(const MessageBoxWindow&) = delete;
  MessageBoxWindow& operator=(const MessageBoxWindow&) = delete;

  bool ok() const { return window_ != nullptr; }
  // OK was given.
  bool closed() const { return closed_; }

  // Takes an event that is the box's own, or input meant for the owner,
  // which is disabled while the box is up (`ownerId` its window id, or 0).
  // Answers whether the event was taken.
  bool take(const SDL_Event& e, Uint32 ownerId);

 private:
  void drawFace(const std::string& text, BoxIcon icon);
  void drawButton();
  void present();
  void takeKey(const SDL_KeyboardEvent& key);
  void takeMouse(const SDL_Event& e);
  void setButtonDown(bool down);
  bool overButton(int x, int y) const;
  void raise();

  int n_;  // the scale
  SDL_Window* window_ = nullptr;
  SDL_Window* owner_ = nullptr;
  Uint32 id_ = 0;
  SDL_Surface* pixels_ = nullptr;
  TTF_Font* font_ = nullptr;
  SDL_Rect button_{};
  bool closed_ = false;
  bool focused_ = false;
  bool spaceHeld_ = false;
  bool mouseHeld_ = false;
  bool buttonDown_ = false;
};

}  // namespace vintaro::sdl
