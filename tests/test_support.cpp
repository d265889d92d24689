#include "tests/test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "render/tables.h"
#include "sound/cues.h"

namespace vintaro::test {

namespace fs = std::filesystem;

TempDir::TempDir() : previous_(fs::current_path()) {
  std::string pattern = (fs::temp_directory_path() / "vintaro-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  path_ = pattern;
  fs::current_path(path_);
}

TempDir::~TempDir() {
  fs::current_path(previous_);
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void writeFile(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary);
  out << bytes;
}

std::string readFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Picture patternPicture() {
  Picture p(kPictureBytes);
  for (int y = 0; y < kPictureHeight; ++y) {
    for (int x = 0; x < kPictureWidth; ++x) {
      std::uint8_t* px = &p[static_cast<std::size_t>((y * kPictureWidth + x) * 3)];
      px[0] = static_cast<std::uint8_t>(x);
      px[1] = static_cast<std::uint8_t>(y);
      px[2] = static_cast<std::uint8_t>(128 + (x >> 8) * 2 + (y >> 8) * 4 + 1);
    }
  }
  return p;
}

Rgb pictureAt(const Picture& picture, int x, int y) {
  const std::uint8_t* px = &picture[static_cast<std::size_t>((y * kPictureWidth + x) * 3)];
  return Rgb{px[0], px[1], px[2]};
}

Picture storedForm(const Picture& plain) {
  Picture out(plain.size());
  for (int y = 0; y < kPictureHeight; ++y) {
    const int fromY = 10 * (y / 10) + 9 - y % 10;
    for (int x = 0; x < kPictureWidth; ++x) {
      const int fromX = x < 360 ? 60 * (x / 60) + 59 - x % 60 : x;
      for (int c = 0; c < 3; ++c) {
        out[static_cast<std::size_t>((y * kPictureWidth + x) * 3 + c)] =
            plain[static_cast<std::size_t>((fromY * kPictureWidth + fromX) * 3 + c)];
      }
    }
  }
  return out;
}

namespace {

void put32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

std::string bitmapFile(const Picture& picture, bool zeroHeader) {
  constexpr std::uint32_t kRow = kPictureWidth * 3 + 2;
  std::string out;
  if (zeroHeader) {
    out.assign(54, '\0');
  } else {
    out = "BM";
    put32(out, 54 + kRow * kPictureHeight);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, kPictureWidth);
    put32(out, kPictureHeight);
    put32(out, 1 | 24u << 16);  // planes, bits per pixel
    put32(out, 0);
    put32(out, kRow * kPictureHeight);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
  }
  for (int y = kPictureHeight - 1; y >= 0; --y) {
    for (int x = 0; x < kPictureWidth; ++x) {
      const Rgb c = pictureAt(picture, x, y);
      out += static_cast<char>(c.b);
      out += static_cast<char>(c.g);
      out += static_cast<char>(c.r);
    }
    out += std::string(2, '\0');
  }
  return out;
}

std::string rewardFile(const Picture& plain) { return bitmapFile(storedForm(plain)); }

Session::Session(Options options) : p(options.record ? &trace : nullptr) {
  window = p.createMainWindow(s);
  s.mainWindow = window;
  // What a settings file would have set.
  s.ballsLeft = options.balls;
  s.intervalMs = options.intervalMs;
  p.showWindow(window);
  s.midiOut = p.openMidi();
  startProgram(s, p);
}

std::vector<std::string> Session::lines() {
  const std::string all = trace.str();
  std::vector<std::string> out = splitLines(all.substr(read_));
  read_ = all.size();
  return out;
}

std::vector<std::string> Session::calls() {
  std::vector<std::string> out = lines();
  for (std::string& l : out) l = withoutClock(l);
  return out;
}

void Session::play() {
  p.key(' ');
  lines();
}

void Session::placeBall(int col, int row, int stepX, int stepY, int spin) {
  s.ballCol = static_cast<std::int16_t>(col);
  s.ballRow = static_cast<std::int16_t>(row);
  s.stepX = static_cast<std::int16_t>(stepX);
  s.stepY = static_cast<std::int16_t>(stepY);
  s.spin = static_cast<std::int16_t>(spin);
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

std::string withoutClock(const std::string& line) {
  const std::size_t space = line.find(' ');
  return space == std::string::npos ? line : line.substr(space + 1);
}

std::string midiLine(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  char hex[32];
  std::snprintf(hex, sizeof hex, "midi 00%02x%02x%02x", data2, data1, status);
  return hex;
}

::testing::AssertionResult invariantsHold(const GameState& s) {
  int nonzero = 0;
  int cleared = 0;
  for (int b = 0; b < kBlockRows; ++b) {
    for (int k = 0; k < kColumns; ++k) {
      const int v = s.blockGrid[static_cast<std::size_t>(b * kColumns + k)];
      if (v != 0 && v != 9 - b) {
        return ::testing::AssertionFailure() << "cell " << b << "," << k << " holds " << v;
      }
      if (v != 0) {
        ++nonzero;
      } else {
        cleared += 9 - b;
      }
    }
  }
  auto fail = [&](const char* what) {
    return ::testing::AssertionFailure()
           << what << " broken: " << formatStateLine(s) << " note=" << int{s.lastNote};
  };
  if (s.blocksLeft != nonzero) return fail("blocksLeft");
  if (s.score != cleared) return fail("score");
  const int lastRow = s.ballsLeft == 0 ? 28 : 27;
  if (s.ballCol < 0 || s.ballCol > 36 || s.ballRow < 0 || s.ballRow > lastRow) return fail("ball");
  if (s.paddleCol < 0 || s.paddleCol > 33) return fail("paddleCol");
  if (s.stepY != 1 && s.stepY != -1) return fail("stepY");
  if (s.spin < -3 || s.spin > 3) return fail("spin");
  if (s.stepX < -2 || s.stepX > 2) return fail("stepX");
  if (s.lastNote != 0 && (s.lastNote < 71 || s.lastNote > 79)) return fail("lastNote");
  if (s.finished != 0 && s.blocksLeft != 0) return fail("finished");
  if (s.ballsLeft < 0) return fail("ballsLeft");
  return ::testing::AssertionSuccess();
}

ToolRun runReplay(const std::string& script) {
  writeFile("script.txt", script);
  const std::string command =
      std::string("'") + VINTARO_REPLAY_EXE + "' script.txt > out.txt 2> err.txt";
  const int status = std::system(command.c_str());
  ToolRun run;
  run.out = readFile("out.txt");
  run.err = readFile("err.txt");
  if (status != -1 && WIFEXITED(status)) run.code = WEXITSTATUS(status);
  return run;
}

Rgb boardPixel(const GameState& s, int x, int y, bool allBlocks) {
  if (y >= clientHeight) return kGrey;
  if (x <= 4 || x >= 634 || y <= 4 || y >= 594) return paletteColour(10);
  const bool onStrip =
      y >= 573 && y <= 577 && x >= 17 * s.paddleCol + 6 && x <= 17 * s.paddleCol + 71;
  const int dx = x - 6;
  const int dy = y - 6;
  if (dx < 0 || dy < 0 || dx % 17 >= 15 || dy % 21 >= 19)
    return onStrip ? paletteColour(13) : kGrey;
  const int col = dx / 17, row = dy / 21, i = dx % 17, j = dy % 21;
  if (col == s.ballCol && row == s.ballRow) {
    const int v = ballSprite[static_cast<std::size_t>(15 * j + i)];
    const auto& c = v == 1 ? s.ballOuterRGB : s.ballInnerRGB;
    if (v != 0) {
      return Rgb{static_cast<std::uint8_t>(c[0]), static_cast<std::uint8_t>(c[1]),
                 static_cast<std::uint8_t>(c[2])};
    }
  }
  if (onStrip) return paletteColour(13);
  const int b = row - kFirstBlockRow;
  if (b >= 0 && b < kBlockRows &&
      (allBlocks || s.blockGrid[static_cast<std::size_t>(b * 37 + col)] != 0) &&
      digitGlyphs[static_cast<std::size_t>(285 * (9 - b) + 15 * j + i)] != 0) {
    return paletteColour(b);
  }
  return kGrey;
}

::testing::AssertionResult screenShowsBoard(const HeadlessPlatform& p, const GameState& s,
                                            bool skipPaddleLines) {
  for (int y = 0; y < HeadlessPlatform::kHeight; ++y) {
    if (skipPaddleLines && y >= 573 && y <= 577) continue;
    for (int x = 0; x < HeadlessPlatform::kWidth; ++x) {
      const Rgb got = p.pixel(x, y);
      const Rgb want = boardPixel(s, x, y);
      if (!(got == want)) {
        return ::testing::AssertionFailure()
               << "pixel " << x << "," << y << " is (" << int{got.r} << "," << int{got.g} << ","
               << int{got.b} << "), not (" << int{want.r} << "," << int{want.g} << ","
               << int{want.b} << ")";
      }
    }
  }
  return ::testing::AssertionSuccess();
}

std::vector<Rgb> screen(const HeadlessPlatform& p) {
  std::vector<Rgb> out;
  out.reserve(static_cast<std::size_t>(HeadlessPlatform::kWidth * HeadlessPlatform::kHeight));
  for (int y = 0; y < HeadlessPlatform::kHeight; ++y) {
    for (int x = 0; x < HeadlessPlatform::kWidth; ++x) out.push_back(p.pixel(x, y));
  }
  return out;
}

}  // namespace vintaro::test
