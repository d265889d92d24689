// The client surface and the status bar on SDL's offscreen video driver: what
// reaches the window, what stays drawn, where the bar lies and how it looks.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "platform/sdl/client_surface.h"
#include "platform/sdl/status_bar.h"

namespace vintaro::sdl {
namespace {

constexpr Rgb kGrey{64, 64, 64};

class SurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    ASSERT_EQ(SDL_VideoInit("offscreen"), 0) << SDL_GetError();
    window_ = SDL_CreateWindow("test", 0, 0, 639, 619, SDL_WINDOW_RESIZABLE);
    ASSERT_NE(window_, nullptr) << SDL_GetError();
    client_ = std::make_unique<ClientSurface>(window_, 639, 619, kGrey);
    bar_ = std::make_unique<StatusBarView>(0, 598, 639);
  }
  void TearDown() override {
    bar_.reset();
    client_.reset();
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    SDL_VideoQuit();
  }

  // A pixel of the window as shown.
  Rgb shown(int x, int y) {
    SDL_Surface* s = SDL_GetWindowSurface(window_);
    Uint32 v = 0;
    std::memcpy(&v, static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 4, 4);
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(v, s->format, &r, &g, &b);
    return Rgb{r, g, b};
  }
  Rgb bar(int x, int y) { return barOf(*bar_, x, y); }
  static Rgb barOf(StatusBarView& view, int x, int y) {
    SDL_Surface* s = view.surface();
    Uint32 v = 0;
    std::memcpy(&v, static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 4, 4);
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(v, s->format, &r, &g, &b);
    return Rgb{r, g, b};
  }

  SDL_Window* window_ = nullptr;
  std::unique_ptr<ClientSurface> client_;
  std::unique_ptr<StatusBarView> bar_;
};

constexpr Rgb rgbOf(BarColour c) { return Rgb{c.r, c.g, c.b}; }

TEST_F(SurfaceTest, APaintReachesTheWindowAndStaysDrawn) {
  ASSERT_TRUE(client_->present(bar_.get()));
  EXPECT_EQ(shown(300, 300), kGrey);
  client_->setPixel(300, 300, Rgb{220, 220, 220});
  client_->setPixel(10, 20, Rgb{0, 115, 0});
  client_->setPixel(-1, 5, Rgb{1, 2, 3});  // outside: ignored
  client_->setPixel(639, 5, Rgb{1, 2, 3});
  EXPECT_TRUE(client_->dirty());
  ASSERT_TRUE(client_->present(bar_.get()));
  EXPECT_FALSE(client_->dirty());
  EXPECT_FALSE(client_->present(bar_.get()));  // nothing new
  EXPECT_EQ(shown(300, 300), (Rgb{220, 220, 220}));
  EXPECT_EQ(shown(10, 20), (Rgb{0, 115, 0}));

  // The window surface is lost on a resize; the game's own surface is not.
  SDL_SetWindowSize(window_, 700, 650);
  client_->resized(700, 650);
  ASSERT_TRUE(client_->present(bar_.get()));
  EXPECT_EQ(shown(300, 300), (Rgb{220, 220, 220}));
  EXPECT_EQ(shown(680, 640), kGrey);
  EXPECT_EQ(client_->pixel(10, 20), (Rgb{0, 115, 0}));
}

TEST_F(SurfaceTest, EraseFillsTheClientAreaButTheBarIsLaidOverIt) {
  client_->setPixel(5, 5, Rgb{255, 0, 0});
  client_->setPixel(5, 605, Rgb{255, 0, 0});  // under the bar
  client_->erase();
  ASSERT_TRUE(client_->present(bar_.get()));
  EXPECT_EQ(shown(5, 5), kGrey);
  EXPECT_EQ(shown(5, 605), bar(5, 7));
  EXPECT_EQ(shown(100, 610), rgbOf(kFace));
}

TEST_F(SurfaceTest, APaintOverTheBarAreaLeavesTheBarOnTop) {
  ASSERT_TRUE(client_->present(bar_.get()));
  client_->setPixel(100, 610, Rgb{255, 0, 0});
  ASSERT_TRUE(client_->present(bar_.get()));
  EXPECT_EQ(shown(100, 610), rgbOf(kFace));
}

TEST_F(SurfaceTest, ANewTextIsShownAtTheNextPresent) {
  ASSERT_TRUE(client_->present(bar_.get()));
  EXPECT_FALSE(bar_->changed());
  bar_->setText(2, " Score : 1 / Ball : 10");
  EXPECT_TRUE(bar_->changed());
  EXPECT_TRUE(client_->present(bar_.get()));
  EXPECT_FALSE(bar_->changed());
  EXPECT_EQ(bar_->text(2), " Score : 1 / Ball : 10");
  bar_->setText(3, "no such part");
  bar_->setText(-1, "no such part");
}

TEST_F(SurfaceTest, TheBarHasSunkenPartsAndASizeGrip) {
  const Rgb face = rgbOf(kFace), shadow = rgbOf(kShadow), light = rgbOf(kHighlight);
  EXPECT_EQ(bar(100, 0), face);    // above the parts
  EXPECT_EQ(bar(100, 2), shadow);  // part 0: top and left in shadow,
  EXPECT_EQ(bar(0, 10), shadow);
  EXPECT_EQ(bar(100, 20), light);  // bottom and right in highlight
  EXPECT_EQ(bar(209, 10), light);
  EXPECT_EQ(bar(210, 10), face);  // the gap between parts 0 and 1
  EXPECT_EQ(bar(211, 10), face);
  EXPECT_EQ(bar(212, 10), shadow);  // part 1 from 212
  EXPECT_EQ(bar(379, 10), light);   // to its right edge 380
  EXPECT_EQ(bar(382, 10), shadow);  // part 2 from 382
  // The grip's diagonal lines in the bottom-right corner.
  EXPECT_EQ(bar(637, 18), shadow);
  EXPECT_EQ(bar(636, 18), shadow);
  EXPECT_EQ(bar(635, 18), light);
  EXPECT_EQ(bar(634, 18), face);
  EXPECT_EQ(bar(633, 18), shadow);
}

TEST_F(SurfaceTest, TextIsDrawnInsideItsPartWhenAJapaneseFontIsThere) {
  if (!bar_->hasFont()) GTEST_SKIP() << "no Japanese font (fonts-ipafont-gothic)";
  bar_->setText(0, " \xE3\x83\x94\xE3\x83\xAB\xE3\x83\xA2(62\xE6\xAD\xB3)");
  const auto parts = statusPartRects(639, {210, 380, -1});
  int inked = 0;
  for (int y = 3; y < 20; ++y) {
    for (int x = 1; x < 209; ++x) inked += bar(x, y) == rgbOf(kFace) ? 0 : 1;
  }
  EXPECT_GT(inked, 40);
  // Part 1 stays empty.
  for (int y = 3; y < 20; ++y) {
    for (int x = parts[1].x + 1; x < parts[1].x + parts[1].w - 1; ++x) {
      ASSERT_EQ(bar(x, y), rgbOf(kFace)) << x << "," << y;
    }
  }
}

TEST_F(SurfaceTest, AtScaleTwoTheBarsLinesAreSquaresAndItsTextIsSetAtTheLargerSize) {
  StatusBarView big(0, 598, 639, 2);
  ASSERT_NE(big.surface(), nullptr);
  EXPECT_EQ(big.surface()->w, 1278);
  EXPECT_EQ(big.surface()->h, 42);
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{
           {100, 0}, {100, 2}, {0, 10}, {100, 20}, {209, 10}, {212, 10}, {637, 18}, {633, 18}}) {
    for (int d = 0; d < 4; ++d) {
      ASSERT_EQ(barOf(big, 2 * x + d % 2, 2 * y + d / 2), bar(x, y)) << x << "," << y;
    }
  }
  if (!big.hasFont()) GTEST_SKIP() << "no Japanese font (fonts-ipafont-gothic)";
  big.setText(0, " Score : 1665 / Ball : 10");
  int inkTop = 1 << 20, inkBottom = -1;
  bool finerThanSquares = false;
  for (int y = 6; y < 40; y += 2) {
    for (int x = 4; x < 416; x += 2) {
      const Rgb c = barOf(big, x, y);
      if (c != rgbOf(kFace)) {
        inkTop = std::min(inkTop, y);
        inkBottom = std::max(inkBottom, y);
      }
      if (barOf(big, x + 1, y) != c || barOf(big, x, y + 1) != c) finerThanSquares = true;
    }
  }
  EXPECT_GT(inkBottom - inkTop, 12);  // a 12-pixel font would ink at most about 9 rows
  EXPECT_TRUE(finerThanSquares);      // drawn at 24 pixels, not an enlarged 12-pixel bitmap
}

}  // namespace
}  // namespace vintaro::sdl
