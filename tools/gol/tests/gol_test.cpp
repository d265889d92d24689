// vintaro-gol: the stored form it writes is the one the game reads, and a
// picture goes in and comes out unchanged.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "files/data_files.h"
#include "platform/headless/headless_platform.h"
#include "tools/gol/gol_file.h"
#include "tools/png/png_file.h"

namespace vintaro::gol {
namespace {

namespace fs = std::filesystem;

// Every pixel different from its neighbours, so that any mirroring shows.
Picture testPicture(int width = kWidth, int height = kHeight) {
  Picture p;
  p.width = width;
  p.height = height;
  p.rgb.resize(static_cast<std::size_t>(width * height * 3));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* px = &p.rgb[static_cast<std::size_t>((y * width + x) * 3)];
      px[0] = static_cast<std::uint8_t>(x);
      px[1] = static_cast<std::uint8_t>(y);
      px[2] = static_cast<std::uint8_t>((x >> 8) | (y >> 8) << 2 | ((x + y) & 0x1F) << 3);
    }
  }
  return p;
}

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/vintaro-gol-XXXXXX";
    path_ = ::mkdtemp(pattern);
  }
  ~TempDir() { fs::remove_all(path_); }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

int run(const std::string& args) {
  const int status =
      std::system((std::string(VINTARO_GOL_EXE) + " " + args + " 2>/dev/null").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#ifdef __SANITIZE_ADDRESS__
constexpr bool kSanitized = true;  // needs a vast address space of its own
#else
constexpr bool kSanitized = false;
#endif

struct Bounded {
  int code = -1;
  std::string err;
  long peakKb = 0;
};

// vintaro-gol with `args`, its address space held to 256 MB; with its peak
// resident memory.
Bounded runBounded(const std::vector<std::string>& args, const std::string& errFile) {
  std::vector<char*> argv{const_cast<char*>(VINTARO_GOL_EXE)};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    const rlimit limit{256 << 20, 256 << 20};
    if (!kSanitized) setrlimit(RLIMIT_AS, &limit);
    dup2(open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  Bounded b;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status)) b.code = WEXITSTATUS(status);
  b.peakKb = usage.ru_maxrss;
  std::vector<std::uint8_t> err;
  std::string ignored;
  readStoredFile(errFile, err, ignored);
  b.err.assign(err.begin(), err.end());
  return b;
}

// A PNG chunk of `type` with `data`, put at the end of `png`.
void pngChunk(std::vector<std::uint8_t>& png, const char* type, std::vector<std::uint8_t> data) {
  const auto be32 = [&png](std::uint32_t v) {
    for (int i = 3; i >= 0; --i) png.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  be32(static_cast<std::uint32_t>(data.size()));
  data.insert(data.begin(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  be32(static_cast<std::uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size()))));
}

// A 24-bit BMP of `p`, bottom-up or top-down.
std::vector<std::uint8_t> bmpOf(const Picture& p, bool topDown) {
  const int rowBytes = (p.width * 3 + 3) / 4 * 4;
  std::vector<std::uint8_t> b(static_cast<std::size_t>(54 + rowBytes * p.height), 0);
  const auto put32 = [&b](std::size_t at, std::int64_t v) {
    for (int i = 0; i < 4; ++i)
      b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<std::int64_t>(b.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, p.width);
  put32(22, topDown ? -p.height : p.height);
  b[26] = 1;
  b[28] = 24;
  for (int r = 0; r < p.height; ++r) {
    const int fileRow = topDown ? r : p.height - 1 - r;
    for (int c = 0; c < p.width; ++c) {
      const std::uint8_t* px = &p.rgb[static_cast<std::size_t>((r * p.width + c) * 3)];
      std::uint8_t* to = &b[static_cast<std::size_t>(54 + fileRow * rowBytes + c * 3)];
      to[0] = px[2];
      to[1] = px[1];
      to[2] = px[0];
    }
  }
  return b;
}

TEST(Gol, PackWritesAProperBitmapOfTheStoredSize) {
  const std::vector<std::uint8_t> file = pack(testPicture());
  ASSERT_EQ(file.size(), 311414u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(file[10], 54);
  EXPECT_EQ(file[28], 24);
}

TEST(Gol, StoredFormHasItsBandsMirrored) {
  const Picture p = testPicture();
  const std::vector<std::uint8_t> file = pack(p);
  // Picture row 0, column 0 comes from stored row 270, column 59,
  // stored as blue, green, red.
  const auto stored = [&file](int row, int col) {
    return &file[static_cast<std::size_t>(54 + row * 1112 + col * 3)];
  };
  EXPECT_EQ(stored(270, 59)[2], p.rgb[0]);
  EXPECT_EQ(stored(270, 59)[1], p.rgb[1]);
  EXPECT_EQ(stored(270, 59)[0], p.rgb[2]);
  const std::size_t lastRowFirst = static_cast<std::size_t>(279 * 370 * 3);
  EXPECT_EQ(stored(9, 59)[2], p.rgb[lastRowFirst]);
  const std::size_t col369 = static_cast<std::size_t>(369 * 3);
  EXPECT_EQ(stored(270, 369)[2], p.rgb[col369]);
}

TEST(Gol, UnpackUndoesPack) {
  const Picture p = testPicture();
  Picture back;
  std::string error;
  ASSERT_TRUE(unpack(pack(p), back, error)) << error;
  EXPECT_EQ(back.rgb, p.rgb);
}

TEST(Gol, ThePackedFileLoadsUprightInTheGame) {
  TempDir dir;
  const Picture p = testPicture();
  std::string error;
  ASSERT_TRUE(writeFile(dir / "Vintaro.gol", pack(p), error)) << error;
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  GameState state;
  HeadlessPlatform platform;
  const bool goesOn = loadPicture(state, platform);
  fs::current_path(before);
  ASSERT_TRUE(goesOn);
  EXPECT_TRUE(std::equal(p.rgb.begin(), p.rgb.end(), state.picture.begin()));
}

TEST(Gol, CommandLineRoundTripOfAPng) {
  TempDir dir;
  const Picture p = testPicture();
  std::string error;
  ASSERT_TRUE(writePng(dir / "in.png", p.width, p.height, p.rgb.data(), error)) << error;
  ASSERT_EQ(run("pack " + (dir / "in.png") + " " + (dir / "Vintaro.gol")), 0);
  EXPECT_EQ(fs::file_size(dir / "Vintaro.gol"), 311414u);
  ASSERT_EQ(run("unpack " + (dir / "Vintaro.gol") + " " + (dir / "out.png")), 0);
  Picture back;
  ASSERT_TRUE(readPng(dir / "out.png", back.width, back.height, back.rgb, error)) << error;
  EXPECT_EQ(back.width, kWidth);
  EXPECT_EQ(back.height, kHeight);
  EXPECT_EQ(back.rgb, p.rgb);
}

TEST(Gol, CommandLinePacksA24BitBmpEitherWayUp) {
  for (const bool topDown : {false, true}) {
    TempDir dir;
    const Picture p = testPicture();
    std::string error;
    ASSERT_TRUE(writeFile(dir / "in.bmp", bmpOf(p, topDown), error)) << error;
    ASSERT_EQ(run("pack " + (dir / "in.bmp") + " " + (dir / "Vintaro.gol")), 0);
    std::vector<std::uint8_t> file;
    ASSERT_TRUE(readStoredFile(dir / "Vintaro.gol", file, error)) << error;
    EXPECT_EQ(file, pack(p));
  }
}

TEST(Gol, OtherSizesAndFormatsAreRefusedClearly) {
  TempDir dir;
  std::string error;
  const Picture small = testPicture(369, 280);
  ASSERT_TRUE(writePng(dir / "small.png", small.width, small.height, small.rgb.data(), error));
  Picture got;
  EXPECT_FALSE(readPicture(dir / "small.png", got, error));
  EXPECT_NE(error.find("369 x 280"), std::string::npos) << error;
  EXPECT_NE(error.find("370 x 280"), std::string::npos) << error;
  EXPECT_EQ(run("pack " + (dir / "small.png") + " " + (dir / "x.gol")), 1);
  EXPECT_FALSE(fs::exists(dir / "x.gol"));

  std::vector<std::uint8_t> bmp = bmpOf(testPicture(), false);
  bmp[28] = 32;
  ASSERT_TRUE(writeFile(dir / "deep.bmp", bmp, error));
  EXPECT_FALSE(readPicture(dir / "deep.bmp", got, error));
  EXPECT_NE(error.find("32-bit"), std::string::npos) << error;

  ASSERT_TRUE(writeFile(dir / "text.txt", {'h', 'e', 'l', 'l', 'o'}, error));
  EXPECT_FALSE(readPicture(dir / "text.txt", got, error));
  EXPECT_NE(error.find("neither a PNG nor a BMP"), std::string::npos) << error;

  ASSERT_TRUE(writeFile(dir / "short.gol", std::vector<std::uint8_t>(1000, 0), error));
  EXPECT_EQ(run("unpack " + (dir / "short.gol") + " " + (dir / "out.png")), 1);
  EXPECT_EQ(run("frobnicate a b"), 2);
}

TEST(Gol, SmallerAndCutShortBmpsAreRefused) {
  TempDir dir;
  std::string error;
  Picture got;
  // Padded to a whole picture's length: only its header tells it is small.
  std::vector<std::uint8_t> small = bmpOf(testPicture(2, 2), false);
  small.resize(kFileBytes, 0);
  ASSERT_TRUE(writeFile(dir / "small.bmp", small, error)) << error;
  EXPECT_FALSE(readPicture(dir / "small.bmp", got, error));
  EXPECT_NE(error.find("2 x 2"), std::string::npos) << error;

  std::vector<std::uint8_t> cut = bmpOf(testPicture(), false);
  cut.pop_back();
  ASSERT_TRUE(writeFile(dir / "cut.bmp", cut, error)) << error;
  EXPECT_FALSE(readPicture(dir / "cut.bmp", got, error));
  EXPECT_NE(error.find("cut short"), std::string::npos) << error;
}

TEST(Gol, AnyInputIsAnsweredInBoundedMemory) {
  TempDir dir;
  std::string error;
  // A PNG header claiming 37000 x 38000 pixels, and no pixels.
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  pngChunk(png, "IHDR", {0, 0, 0x90, 0x88, 0, 0, 0x94, 0x70, 8, 2, 0, 0, 0});
  pngChunk(png, "IDAT", {});
  pngChunk(png, "IEND", {});
  ASSERT_TRUE(writeFile(dir / "huge.png", png, error)) << error;
  // A 3 GB file, mostly a hole, whose BMP header claims as much.
  std::vector<std::uint8_t> bmp = bmpOf(testPicture(1, 1), false);
  bmp[18] = 0x88;  // 37000 wide
  bmp[19] = 0x90;
  bmp[22] = 0x70;  // 38000 high
  bmp[23] = 0x94;
  for (const char* name : {"huge.bmp", "huge.gol"}) {
    ASSERT_TRUE(writeFile(dir / name, bmp, error)) << error;
    fs::resize_file(dir / name, 3'000'000'000);
  }
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);

  const struct {
    const char* command;
    std::string from;
    int code;
    const char* says;
  } cases[] = {
      {"pack", dir / "huge.png", 1, "37000 x 38000"},
      {"pack", dir / "huge.bmp", 1, "37000 x 38000"},
      {"pack", "/dev/zero", 1, "not a regular file"},
      {"pack", dir / "fifo", 1, "not a regular file"},
      {"unpack", dir / "fifo", 1, "not a regular file"},
      {"pack", dir.path().string(), 1, "not a regular file"},
      // The game reads the first 311,414 bytes of a stored file and no more.
      {"unpack", dir / "huge.gol", 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.command) + " " + c.from);
    const Bounded run = runBounded({c.command, c.from, dir / "out"}, dir / "err.txt");
    EXPECT_EQ(run.code, c.code);
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    if (!kSanitized) {
      EXPECT_LT(run.peakKb, 20 * 1024);
    }
  }
}

// The rows' data goes on with 64 MB of zeros that no row takes, and the file
// ends in them: the picture is read from what comes before, and nothing
// after its last row is read.
TEST(Gol, APngIsReadToItsLastRowAndNoFurther) {
  TempDir dir;
  const Picture p = testPicture();
  std::vector<std::uint8_t> rows;
  for (int y = 0; y < p.height; ++y) {
    rows.push_back(0);  // no filter
    const auto* row = &p.rgb[static_cast<std::size_t>(y * p.width * 3)];
    rows.insert(rows.end(), row, row + p.width * 3);
  }
  std::vector<std::uint8_t> zeros(1 << 20, 0);
  std::vector<std::uint8_t> stream(1 << 20);
  z_stream z{};
  ASSERT_EQ(deflateInit(&z, 1), Z_OK);
  std::vector<std::uint8_t> idat;
  const auto put = [&](std::vector<std::uint8_t>& data, int flush) {
    z.next_in = data.data();
    z.avail_in = static_cast<uInt>(data.size());
    do {
      z.next_out = stream.data();
      z.avail_out = static_cast<uInt>(stream.size());
      deflate(&z, flush);
      idat.insert(idat.end(), stream.data(), z.next_out);
    } while (z.avail_out == 0);
  };
  put(rows, Z_NO_FLUSH);
  for (int i = 0; i < 64; ++i) put(zeros, i == 63 ? Z_SYNC_FLUSH : Z_NO_FLUSH);
  deflateEnd(&z);

  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  pngChunk(png, "IHDR", {0, 0, 0x01, 0x72, 0, 0, 0x01, 0x18, 8, 2, 0, 0, 0});
  pngChunk(png, "IDAT", idat);
  std::string error;
  ASSERT_TRUE(writeFile(dir / "long.png", png, error)) << error;
  ASSERT_EQ(run("pack " + (dir / "long.png") + " " + (dir / "Vintaro.gol")), 0);
  std::vector<std::uint8_t> file;
  Picture back;
  ASSERT_TRUE(readStoredFile(dir / "Vintaro.gol", file, error)) << error;
  ASSERT_TRUE(unpack(file, back, error)) << error;
  EXPECT_EQ(back.rgb, p.rgb);
}

// Only a regular file is written: a pipe with no reader, a device or a
// directory is refused at once.
TEST(Gol, OnlyARegularFileIsWritten) {
  TempDir dir;
  std::string error;
  const Picture p = testPicture();
  ASSERT_TRUE(writeFile(dir / "Vintaro.gol", pack(p), error)) << error;
  ASSERT_TRUE(writePng(dir / "in.png", p.width, p.height, p.rgb.data(), error)) << error;
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  for (const std::string& to : {dir / "fifo", std::string("/dev/full"), dir.path().string()}) {
    for (const auto& [command, from] :
         {std::pair{"pack", dir / "in.png"}, std::pair{"unpack", dir / "Vintaro.gol"}}) {
      SCOPED_TRACE(std::string(command) + " to " + to);
      const Bounded b = runBounded({command, from, to}, dir / "err.txt");
      EXPECT_EQ(b.code, 1);
      EXPECT_NE(b.err.find("not a regular file"), std::string::npos) << b.err;
    }
  }
}

}  // namespace
}  // namespace vintaro::gol
