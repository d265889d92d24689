// vintaro-probe.exe: looks at a running vintaro.exe from outside, for the
// tests under Wine. Answers on standard output, one line each.
//
//   client          "X Y W H": the main window's client area on the screen
//   status          per part "N X Y W H TEXT": its place on the screen and its
//                   text in UTF-8 (read from the game's own memory)
//   ink TEXT...     per text "N INK": how many pixels the text inks, drawn as
//                   the status bar draws it
//   tofu TEXT...    exit 1 if a character beyond ASCII comes out blank or as
//                   the missing-glyph box
//   codepage        the system's ANSI code page
//   minimise, restore, repaint
//                   the main window minimised, restored, or wholly invalidated
//                   with an erase; answers once the game has begun painting
//   lastblock       leaves one block to clear: a game not yet started gets
//                   its count of blocks left set to 1, so the next hit wins
// Exit code 1 when there is no such window (or record).

// windows.h first: the other Windows headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
// clang-format on

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "platform/win32/win32_platform.h"

namespace {

// No font has a glyph for a code point that Unicode leaves unassigned.
constexpr wchar_t kUnassigned = 0x0378;

HWND mainWindow() { return FindWindowW(vintaro::kWindowClass, nullptr); }

std::string utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

// A message whose answer is written through a pointer, sent to a window of
// another process: the buffer has to live in that process.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, std::size_t size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_ != nullptr) {
      address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
  }
  ~RemoteBuffer() {
    if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_ != nullptr) CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool ok() const { return address_ != nullptr; }
  LPARAM address() const { return reinterpret_cast<LPARAM>(address_); }
  void read(void* to) const { ReadProcessMemory(process_, address_, to, size_, nullptr); }

 private:
  std::size_t size_;
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
};

int client() {
  HWND window = mainWindow();
  if (window == nullptr) return 1;
  RECT r{};
  GetClientRect(window, &r);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, r.right, r.bottom);
  return 0;
}

int status() {
  HWND window = mainWindow();
  if (window == nullptr) return 1;
  HWND bar = FindWindowExW(window, nullptr, STATUSCLASSNAMEW, nullptr);
  if (bar == nullptr) return 1;
  const int parts = static_cast<int>(SendMessageW(bar, SB_GETPARTS, 0, 0));
  for (int part = 0; part < parts; ++part) {
    RemoteBuffer rect(bar, sizeof(RECT));
    RemoteBuffer text(bar, 256 * sizeof(wchar_t));
    if (!rect.ok() || !text.ok()) return 1;
    RECT r{};
    SendMessageW(bar, SB_GETRECT, static_cast<WPARAM>(part), rect.address());
    rect.read(&r);
    const auto length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0));
    std::wstring wide(256, L'\0');
    if (length < 255) {
      SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(part), text.address());
      text.read(wide.data());
    }
    wide.resize(length < 255 ? length : 0);
    POINT origin{r.left, r.top};
    ClientToScreen(bar, &origin);
    std::printf("%d %ld %ld %ld %ld %s\n", part, origin.x, origin.y, r.right - r.left,
                r.bottom - r.top, utf8(wide).c_str());
  }
  return 0;
}

// Waits until the game has begun the paint it owes, if it owes one.
int painted(HWND window) {
  for (int tries = 0; tries < 500; ++tries) {
    if (!GetUpdateRect(window, nullptr, FALSE)) return 0;
    Sleep(20);
  }
  return 1;
}

int showMain(int command) {
  HWND window = mainWindow();
  if (window == nullptr) return 1;
  ShowWindow(window, command);
  return painted(window);
}

int repaint() {
  HWND window = mainWindow();
  if (window == nullptr || !InvalidateRect(window, nullptr, TRUE)) return 1;
  return painted(window);
}

// The game's record is found by what a fresh one holds: the full block grid
// and the count of blocks after it.
int lastBlock() {
  HWND window = mainWindow();
  if (window == nullptr) return 1;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(
      PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
      pid);
  if (process == nullptr) return 1;
  auto fresh = std::make_unique<vintaro::GameState>();
  vintaro::fillBlockGrid(*fresh);
  const auto* first = reinterpret_cast<const char*>(fresh.get());
  const std::string pattern(first, first + offsetof(vintaro::GameState, score));

  std::vector<char*> found;
  std::string bytes;
  MEMORY_BASIC_INFORMATION region{};
  for (char* at = nullptr; VirtualQueryEx(process, at, &region, sizeof(region)) == sizeof(region);
       at = static_cast<char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State != MEM_COMMIT || region.Type != MEM_PRIVATE ||
        region.Protect != PAGE_READWRITE) {
      continue;
    }
    bytes.resize(region.RegionSize);
    SIZE_T read = 0;
    ReadProcessMemory(process, region.BaseAddress, bytes.data(), bytes.size(), &read);
    bytes.resize(read);
    for (auto hit = bytes.find(pattern); hit != std::string::npos;
         hit = bytes.find(pattern, hit + 1)) {
      found.push_back(static_cast<char*>(region.BaseAddress) + hit);
    }
  }
  const std::int16_t one = 1;
  const bool done = found.size() == 1 &&
                    WriteProcessMemory(process, found[0] + offsetof(vintaro::GameState, blocksLeft),
                                       &one, sizeof(one), nullptr);
  CloseHandle(process);
  return done ? 0 : 1;
}

// A memory canvas with the status bar's font, black on white.
class Canvas {
 public:
  static constexpr int kWidth = 600, kHeight = 40;

  Canvas() {
    font_ = vintaro::createStatusFont();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<const std::uint32_t*>(bits);
    dc_ = CreateCompatibleDC(nullptr);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    oldFont_ = SelectObject(dc_, font_);
  }
  ~Canvas() {
    SelectObject(dc_, oldFont_);
    SelectObject(dc_, oldBitmap_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
    DeleteObject(font_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // The text drawn as the status bar draws it; answers the pixels, 1 = ink.
  std::vector<char> draw(const std::wstring& text) {
    RECT all{0, 0, kWidth, kHeight};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(dc_, RGB(0, 0, 0));
    SetBkMode(dc_, TRANSPARENT);
    RECT box{2, 2, kWidth, kHeight};
    DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &box,
              DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    GdiFlush();
    std::vector<char> ink(static_cast<std::size_t>(kWidth * kHeight));
    for (std::size_t i = 0; i < ink.size(); ++i) ink[i] = (bits_[i] & 0xFFFFFFu) != 0xFFFFFFu;
    return ink;
  }

 private:
  HFONT font_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  const std::uint32_t* bits_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
};

long inkOf(const std::vector<char>& pixels) {
  long n = 0;
  for (const char p : pixels) n += p;
  return n;
}

int ink(int count, wchar_t** texts) {
  Canvas canvas;
  for (int i = 0; i < count; ++i) std::printf("%d %ld\n", i, inkOf(canvas.draw(texts[i])));
  return 0;
}

// Every character beyond ASCII must come out as a glyph of its own: neither
// blank nor the box that stands for a character no font has.
int tofu(int count, wchar_t** texts) {
  Canvas canvas;
  const std::vector<char> missing = canvas.draw(std::wstring(1, kUnassigned));
  int bad = 0;
  for (int i = 0; i < count; ++i) {
    for (const wchar_t c : std::wstring(texts[i])) {
      if (c < 0x80) continue;
      const std::vector<char> glyph = canvas.draw(std::wstring(1, c));
      if (glyph == missing || inkOf(glyph) == 0) {
        std::printf("U+%04X has no glyph\n", static_cast<unsigned>(c));
        ++bad;
      }
    }
  }
  return bad == 0 ? 0 : 1;
}

}  // namespace

int main() {
  // The wide command line: the texts must not pass through the code page.
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc >= 2 && std::wcscmp(argv[1], L"client") == 0) return client();
  if (argc >= 2 && std::wcscmp(argv[1], L"status") == 0) return status();
  if (argc >= 2 && std::wcscmp(argv[1], L"ink") == 0) return ink(argc - 2, argv + 2);
  if (argc >= 2 && std::wcscmp(argv[1], L"tofu") == 0) return tofu(argc - 2, argv + 2);
  if (argc >= 2 && std::wcscmp(argv[1], L"minimise") == 0) return showMain(SW_MINIMIZE);
  if (argc >= 2 && std::wcscmp(argv[1], L"restore") == 0) return showMain(SW_RESTORE);
  if (argc >= 2 && std::wcscmp(argv[1], L"repaint") == 0) return repaint();
  if (argc >= 2 && std::wcscmp(argv[1], L"lastblock") == 0) return lastBlock();
  if (argc >= 2 && std::wcscmp(argv[1], L"codepage") == 0) {
    std::printf("%u\n", GetACP());
    return 0;
  }
  std::fprintf(stderr,
               "usage: vintaro-probe client | status | ink TEXT... | tofu TEXT... | codepage |\n"
               "       minimise | restore | repaint | lastblock\n");
  return 2;
}
