// vintaro-paintbench.exe: the two ways of getting the painter's pixels to the
// window, side by side. Times a full board, a ball redraw and the reward
// picture each way, or with --check plays the same scene both ways and
// compares what reached the screen.
//
//   vintaro-paintbench.exe [ROUNDS]   timings, median and best, in ms
//   vintaro-paintbench.exe --check    exit 0 when both ways look the same
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/window.h"
#include "platform/win32/win32_platform.h"

namespace {

using vintaro::GameState;
using vintaro::Win32Platform;

// How the painter's pixels reach the window: through the game's back
// buffer, or one SetPixel per pixel, the way kept only for comparison.
enum class PaintPath { BackBuffer, SetPixelEach };

// The real window and painting, with everything that would wait or make
// noise taken out: no timer, no sleeps, no boxes, no sound.
class QuietPlatform : public Win32Platform {
 public:
  QuietPlatform(HINSTANCE instance, PaintPath path)
      : Win32Platform(instance, SW_SHOWNORMAL), path_(path) {}
  void setPixel(int x, int y, vintaro::Rgb c) override {
    if (path_ == PaintPath::BackBuffer) {
      Win32Platform::setPixel(x, y, c);
    } else if (paintDc() != nullptr) {
      SetPixel(paintDc(), x, y, RGB(c.r, c.g, c.b));
    }
  }
  void setTimer(vintaro::Handle, int) override {}
  void killTimer(vintaro::Handle) override {}
  void messageBox(vintaro::Handle, const char*, const char*, vintaro::BoxIcon) override {}
  void midiShortMsg(vintaro::Handle, std::uint32_t) override {}
  void sleep(int) override {}

 private:
  PaintPath path_;
};

// Handles what is queued, up to `limit` paints; answers how many there were.
int paintsQueued(int limit) {
  int paints = 0;
  MSG msg;
  while (paints < limit && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_PAINT) ++paints;
    if (msg.message == WM_TIMER) continue;
    DispatchMessageW(&msg);
  }
  return paints;
}

// Bounded, so that paints which never stop cannot hang us.
void pumpMessages() { paintsQueued(1000); }

void fillPicture(GameState& s) {
  for (int y = 0; y < vintaro::kPictureHeight; ++y) {
    for (int x = 0; x < vintaro::kPictureWidth; ++x) {
      std::uint8_t* px = &s.picture[static_cast<std::size_t>((y * vintaro::kPictureWidth + x) * 3)];
      px[0] = static_cast<std::uint8_t>(x);
      px[1] = static_cast<std::uint8_t>(y);
      px[2] = static_cast<std::uint8_t>(x ^ y);
    }
  }
}

// One game window, brought up as the game does it, up to its first board.
struct Scene {
  Scene(HINSTANCE instance, PaintPath path)
      : state(std::make_unique<GameState>()), platform(instance, path) {
    fillPicture(*state);
    platform.registerWindowClass();
    state->mainWindow = platform.createMainWindow(*state);
    window = static_cast<HWND>(state->mainWindow);
    platform.showWindow(state->mainWindow);
    pumpMessages();
  }
  ~Scene() {
    DestroyWindow(window);
    pumpMessages();
    UnregisterClassW(vintaro::kWindowClass, GetModuleHandleW(nullptr));
  }
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  // Asks for a repaint as the game would and has it done at once.
  void repaint(bool erase) {
    InvalidateRect(window, nullptr, erase ? TRUE : FALSE);
    UpdateWindow(window);
    GdiFlush();
  }
  void key(char c) {
    vintaro::windowProc(*state, platform, window, vintaro::Message::Char,
                        static_cast<unsigned char>(c));
    UpdateWindow(window);
  }
  void tick(bool paint = true) {
    vintaro::windowProc(*state, platform, window, vintaro::Message::Timer);
    if (paint) UpdateWindow(window);
  }

  std::unique_ptr<GameState> state;
  QuietPlatform platform;
  HWND window = nullptr;
};

class Stopwatch {
 public:
  Stopwatch() {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    frequency_ = static_cast<double>(f.QuadPart);
    QueryPerformanceCounter(&start_);
  }
  double ms() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 / frequency_;
  }

 private:
  double frequency_;
  LARGE_INTEGER start_;
};

struct Figures {
  double median, best;
};

Figures summarise(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return {times[times.size() / 2], times.front()};
}

const char* pathName(PaintPath path) {
  return path == PaintPath::BackBuffer ? "back buffer" : "SetPixel each";
}

int benchmark(HINSTANCE instance, int rounds) {
  std::printf("%-14s %-14s %10s %10s   (ms, %d rounds)\n", "path", "paint", "median", "best",
              rounds);
  for (const auto path : {PaintPath::BackBuffer, PaintPath::SetPixelEach}) {
    Scene scene(instance, path);
    GameState& s = *scene.state;
    std::vector<double> board, ball, picture;
    for (int i = 0; i < rounds; ++i) {
      s.paintMode = vintaro::kPaintFullBoard;
      Stopwatch a;
      scene.repaint(false);
      board.push_back(a.ms());
      pumpMessages();

      s.prevBallCol = s.ballCol;
      s.prevBallRow = s.ballRow;
      s.paintMode = vintaro::kPaintBall;
      Stopwatch b;
      scene.repaint(false);
      ball.push_back(b.ms());
      pumpMessages();
    }
    const std::int16_t blocks = s.blocksLeft;
    for (int i = 0; i < rounds; ++i) {
      s.blocksLeft = 0;
      s.finished = 0;
      Stopwatch c;
      scene.repaint(true);
      picture.push_back(c.ms());
      pumpMessages();
    }
    s.blocksLeft = blocks;
    for (const auto& [name, times] :
         {std::pair<const char*, std::vector<double>&>{"full board", board},
          {"ball redraw", ball},
          {"reward picture", picture}}) {
      const Figures f = summarise(times);
      std::printf("%-14s %-14s %10.3f %10.3f\n", pathName(path), name, f.median, f.best);
    }
  }
  return 0;
}

// The client area as the window system holds it.
std::vector<std::uint32_t> readClient(HWND window, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, bitmap);
  HDC screen = GetDC(window);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  ReleaseDC(window, screen);
  GdiFlush();
  std::vector<std::uint32_t> out(static_cast<std::size_t>(width * height));
  const auto* px = static_cast<const std::uint32_t*>(bits);
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = px[i] & 0xFFFFFFu;
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(bitmap);
  return out;
}

// One scene of play, the same each time: paddle moves, ball steps through
// hits and walls, uncoverings of the window, then the reward picture.
std::vector<std::vector<std::uint32_t>> playScene(HINSTANCE instance, PaintPath path, bool& ok) {
  Scene scene(instance, path);
  GameState& s = *scene.state;
  std::vector<std::vector<std::uint32_t>> shots;
  const auto shoot = [&] {
    pumpMessages();
    shots.push_back(readClient(scene.window, vintaro::clientWidth, vintaro::clientHeight));
  };
  shoot();
  scene.key(' ');
  for (const char c : std::string("aax.;,:")) scene.key(c);
  shoot();
  for (int i = 0; i < 40; ++i) scene.tick();
  shoot();
  s.paintMode = vintaro::kPaintFullBoard;
  scene.repaint(true);
  shoot();
  for (int i = 0; i < 25; ++i) scene.tick();
  shoot();
  // Uncovered while a ball redraw is pending: the erase must be seen, and
  // the whole board drawn, so a full repaint afterwards changes nothing.
  scene.tick(false);
  scene.repaint(true);
  shoot();
  s.paintMode = vintaro::kPaintFullBoard;
  scene.repaint(false);
  shoot();
  if (shots[shots.size() - 1] != shots[shots.size() - 2]) {
    std::printf("%s: an erasing paint with a ball redraw pending lost the board\n", pathName(path));
    ok = false;
  }
  s.blocksLeft = 1;
  s.blockGrid.fill(0);
  s.blockGrid[0] = 9;
  s.ballCol = 0;
  s.ballRow = 5;
  s.stepY = -1;
  scene.tick();
  shoot();
  // A finished game draws nothing, yet each paint request must be taken off
  // the queue, not sent again and again.
  InvalidateRect(scene.window, nullptr, TRUE);
  if (paintsQueued(100) >= 100) {
    std::printf("%s: paint requests keep coming once the game is finished\n", pathName(path));
    ok = false;
  }
  shoot();
  return shots;
}

int check(HINSTANCE instance) {
  bool ok = true;
  const auto a = playScene(instance, PaintPath::BackBuffer, ok);
  const auto b = playScene(instance, PaintPath::SetPixelEach, ok);
  int failures = 0;
  for (std::size_t shot = 0; shot < a.size(); ++shot) {
    std::size_t differ = 0, first = 0;
    for (std::size_t i = 0; i < a[shot].size(); ++i) {
      if (a[shot][i] != b[shot][i] && differ++ == 0) first = i;
    }
    if (differ == 0) continue;
    ++failures;
    std::printf("shot %zu: %zu pixels differ, first at (%zu, %zu): %06x vs %06x\n", shot, differ,
                first % vintaro::clientWidth, first / vintaro::clientWidth, a[shot][first],
                b[shot][first]);
  }
  std::printf("%zu shots compared, %d differ\n", a.size(), failures);
  return ok && failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (argc > 1 && std::strcmp(argv[1], "--check") == 0) return check(instance);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  return benchmark(instance, rounds);
}
