// vintaro-paint-ico FILE.ico: the application icon as a Windows icon file,
// which the Windows program's resources take: 16 to 48 pixels as 32-bit
// bitmaps with their mask, as every Windows reads them, and 256 as a PNG.
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <iostream>
#include <vector>

#include "art/icon.h"

namespace {

constexpr int kSizes[] = {16, 24, 32, 48, 256};
constexpr int kLargestBitmap = 48;

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(Bytes& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

// A bitmap entry: its header (twice the height, for the mask), BGRA rows
// bottom-up, then the one-bit mask of what is wholly transparent.
Bytes bitmapImage(int size, const Bytes& rgba) {
  const auto s = static_cast<std::uint32_t>(size);
  const std::uint32_t maskRowBytes = (s + 31) / 32 * 4;
  Bytes out;
  put32(out, 40);
  put32(out, s);
  put32(out, 2 * s);
  put16(out, 1);
  put16(out, 32);
  put32(out, 0);
  put32(out, s * s * 4 + maskRowBytes * s);
  for (int i = 0; i < 4; ++i) put32(out, 0);
  for (int y = size - 1; y >= 0; --y) {
    for (int x = 0; x < size; ++x) {
      const std::uint8_t* px = &rgba[static_cast<std::size_t>((y * size + x) * 4)];
      out.insert(out.end(), {px[2], px[1], px[0], px[3]});
    }
  }
  for (int y = size - 1; y >= 0; --y) {
    Bytes row(maskRowBytes, 0);
    for (int x = 0; x < size; ++x) {
      if (rgba[static_cast<std::size_t>((y * size + x) * 4 + 3)] == 0) {
        row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

bool pngImage(int size, const Bytes& rgba, Bytes& out) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(size);
  image.height = static_cast<png_uint_32>(size);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t bytes = 0;
  if (png_image_write_to_memory(&image, nullptr, &bytes, 0, rgba.data(), 0, nullptr) == 0) {
    return false;
  }
  out.resize(bytes);
  return png_image_write_to_memory(&image, out.data(), &bytes, 0, rgba.data(), 0, nullptr) != 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: vintaro-paint-ico FILE.ico\n";
    return 2;
  }
  std::vector<Bytes> images;
  for (const int size : kSizes) {
    const Bytes rgba = vintaro::art::paintIcon(size);
    if (size <= kLargestBitmap) {
      images.push_back(bitmapImage(size, rgba));
    } else if (!pngImage(size, rgba, images.emplace_back())) {
      std::cerr << "vintaro-paint-ico: cannot make the " << size << "-pixel PNG\n";
      return 1;
    }
  }
  Bytes file;
  put16(file, 0);
  put16(file, 1);  // an icon, not a cursor
  put16(file, static_cast<unsigned>(images.size()));
  auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const int size = kSizes[i];
    file.push_back(static_cast<std::uint8_t>(size & 0xFF));  // 0 stands for 256
    file.push_back(static_cast<std::uint8_t>(size & 0xFF));
    file.push_back(0);
    file.push_back(0);
    put16(file, 1);
    put16(file, 32);
    put32(file, static_cast<std::uint32_t>(images[i].size()));
    put32(file, offset);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  for (const Bytes& image : images) file.insert(file.end(), image.begin(), image.end());

  std::FILE* out = std::fopen(argv[1], "wb");
  const bool written =
      out != nullptr && std::fwrite(file.data(), 1, file.size(), out) == file.size();
  if (out == nullptr || std::fclose(out) != 0 || !written) {
    std::cerr << "vintaro-paint-ico: cannot write " << argv[1] << '\n';
    return 1;
  }
  return 0;
}
