// Speed and memory of the hot paths: paints, ticks and a whole replayed game.
// Run: build/bench/vintaro_bench
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <ostream>
#include <streambuf>

#include "app/geometry.h"
#include "app/window.h"
#include "game/rules.h"
#include "platform/headless/headless_platform.h"
#include "render/painter.h"

namespace {

std::atomic<long> gAllocations{0};

}  // namespace

// Counts every allocation, so the benchmarks can show that the core makes none.
void* operator new(std::size_t size) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace vintaro {
namespace {

// A platform that draws into memory and records nothing.
class SilentPlatform final : public Platform {
 public:
  bool registerWindowClass() override { return true; }
  Handle createMainWindow(GameState& s) override {
    windowProc(s, *this, this, Message::Create);
    return this;
  }
  Handle createStatusBar(Handle, const char*) override { return this; }
  void showWindow(Handle) override {}
  Handle openMidi() override { return this; }
  void closeMidi(Handle) override {}
  int runMessageLoop(GameState&) override { return 0; }
  bool beginPaint(Handle) override { return false; }
  void setPixel(int x, int y, Rgb c) override {
    pixels_[static_cast<std::size_t>(y * kClientAreaWidth + x)] = c;
  }
  void endPaint(Handle) override {}
  void invalidate(Handle, bool) override {}
  void setTimer(Handle, int) override {}
  void killTimer(Handle) override {}
  void messageBox(Handle, const char*, const char*, BoxIcon) override {}
  void setStatusText(Handle, int, const char*) override {}
  void midiShortMsg(Handle, std::uint32_t) override {}
  void sleep(int) override {}
  void postQuit(int) override {}

 private:
  std::unique_ptr<Rgb[]> pixels_ = std::make_unique<Rgb[]>(kClientAreaWidth * kClientAreaHeight);
};

struct Game {
  std::unique_ptr<GameState> state = std::make_unique<GameState>();
  SilentPlatform platform;
  Game() {
    state->mainWindow = platform.createMainWindow(*state);
    paintBoard(*state, platform);  // the first board serves the ball
    handleKey(*state, platform, ' ');
  }
};

void reportAllocations(benchmark::State& st, long before) {
  st.counters["allocs/iter"] = benchmark::Counter(
      static_cast<double>(gAllocations.load() - before) / static_cast<double>(st.iterations()));
}

void BM_FullBoardPaint(benchmark::State& st) {
  Game g;
  const long before = gAllocations.load();
  for (auto _ : st) {
    g.state->paintMode = kPaintFullBoard;
    paintBoard(*g.state, g.platform);
  }
  reportAllocations(st, before);
}
BENCHMARK(BM_FullBoardPaint);

void BM_BallRedraw(benchmark::State& st) {
  Game g;
  const long before = gAllocations.load();
  for (auto _ : st) {
    g.state->paintMode = kPaintBall;
    g.state->ballRedrawOwed = true;
    paintBoard(*g.state, g.platform);
  }
  reportAllocations(st, before);
}
BENCHMARK(BM_BallRedraw);

void BM_PaddleRedraw(benchmark::State& st) {
  Game g;
  const long before = gAllocations.load();
  for (auto _ : st) {
    handleKey(*g.state, g.platform, (st.iterations() & 1) != 0 ? ',' : 'x');
    paintBoard(*g.state, g.platform);
  }
  reportAllocations(st, before);
}
BENCHMARK(BM_PaddleRedraw);

void BM_RewardPicture(benchmark::State& st) {
  Game g;
  const long before = gAllocations.load();
  for (auto _ : st) {
    g.state->blocksLeft = 0;
    g.state->finished = 0;
    g.state->paintMode = kPaintBall;
    paintBoard(*g.state, g.platform);  // the tune's sleeps cost nothing here
  }
  reportAllocations(st, before);
}
BENCHMARK(BM_RewardPicture);

// A tick without its paint; the paddle follows the ball so play goes on.
void BM_Tick(benchmark::State& st) {
  Game g;
  const long before = gAllocations.load();
  for (auto _ : st) {
    GameState& s = *g.state;
    s.paddleCol = static_cast<std::int16_t>(std::clamp(s.ballCol - 1, 0, kMaxPaddleCol));
    stepBall(s, g.platform);
    if (s.ballsLeft <= 1) s.ballsLeft = 99;  // never reach the game-over box
  }
  reportAllocations(st, before);
}
BENCHMARK(BM_Tick);

// Discards the trace but still pays for writing it.
class NullBuffer final : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// The whole program on the headless platform, as vintaro-replay runs it: the
// paddle keys follow the ball, every tick traced and painted.
void BM_ReplayedGame(benchmark::State& st) {
  const std::int64_t ticks = st.range(0);
  const auto dir = std::filesystem::temp_directory_path() / "vintaro-bench";
  std::filesystem::create_directories(dir);
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  {
    std::ofstream ini("Vintaro.ini", std::ios::binary);
    ini << "Vintaro.ini\nball:99reserve\ninterval:010msec\n";
    std::ofstream gol("Vintaro.gol", std::ios::binary);
    gol << std::string(311414, '\x40');
  }
  NullBuffer nullBuffer;
  std::ostream trace(&nullBuffer);
  for (auto _ : st) {
    auto state = std::make_unique<GameState>();
    HeadlessPlatform platform(&trace);
    std::int64_t done = 0;
    platform.setDriver([&](HeadlessPlatform& p) {
      if (done == 0) p.key(' ');
      if (done++ >= ticks) return false;
      const GameState& s = *p.state();
      if (s.paddleCol + 1 < s.ballCol) p.key('.');
      if (s.paddleCol + 1 > s.ballCol) p.key('x');
      p.tick();
      return true;
    });
    benchmark::DoNotOptimize(runGame(*state, platform));
  }
  std::filesystem::current_path(previous);
  std::filesystem::remove_all(dir);
  st.counters["ticks"] = static_cast<double>(ticks);
}
BENCHMARK(BM_ReplayedGame)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vintaro

BENCHMARK_MAIN();
