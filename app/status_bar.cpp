#include "app/status_bar.h"

#include <cstdio>

namespace vintaro {

void createStatusBar(GameState& s, Platform& p, Handle window) {
  s.statusBar = p.createStatusBar(window, creditText);
}

void showIntroText(GameState& s, Platform& p) {
  if (s.introShown != 0) return;
  s.introShown = 1;
  std::snprintf(s.textBuffer.data(), s.textBuffer.size(), introText, int{s.ballsLeft},
                int{s.intervalMs});
  p.setStatusText(s.statusBar, 1, s.textBuffer.data());
}

void showScoreText(GameState& s, Platform& p) {
  std::snprintf(s.textBuffer.data(), s.textBuffer.size(), scoreText, int{s.score},
                int{s.ballsLeft});
  p.setStatusText(s.statusBar, 2, s.textBuffer.data());
}

}  // namespace vintaro
