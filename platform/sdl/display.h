// Starting SDL's video on a display someone can see. When no display answers
// SDL falls back to its offscreen driver, and the game would play unseen: the
// offscreen and dummy drivers are taken only when SDL_VIDEODRIVER names them.
#pragma once

namespace vintaro::sdl {

// SDL_Init for video. Answers false, having said why on standard error, when
// there is no usable display.
bool startVideo();

}  // namespace vintaro::sdl
