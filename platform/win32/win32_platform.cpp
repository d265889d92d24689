#include "platform/win32/win32_platform.h"

#include <commctrl.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "app/geometry.h"
#include "app/window.h"

namespace vintaro {

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr DWORD kStatusBarStyle =
    0x50000103;  // WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_BOTTOM
constexpr UINT kStatusBarId = 1;
constexpr UINT kCodePage932 = 932;
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;
// What Japanese Windows gave the status bar, the texts' own system.
constexpr wchar_t kJapaneseUiFace[] = L"MS UI Gothic";

// The one window's platform: the window procedure has no other way to find
// it, since the window is created without a creation parameter.
Win32Platform* activePlatform = nullptr;

HWND hwndOf(Handle h) { return static_cast<HWND>(h); }

// The families of this system that have the Japanese character set; their
// vertical forms ('@') left out.
struct JapaneseFaces {
  std::wstring uiFace;
  std::wstring proportional;
  std::wstring any;
};

int CALLBACK collectFace(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD, LPARAM data) {
  auto& faces = *reinterpret_cast<JapaneseFaces*>(data);
  const std::wstring name = font->lfFaceName;
  if (name.empty() || name[0] == L'@') return 1;
  if (name == kJapaneseUiFace) faces.uiFace = name;
  // The bit's name says the opposite of what it means: set, the pitch varies.
  if (faces.proportional.empty() && (metrics->tmPitchAndFamily & TMPF_FIXED_PITCH) != 0) {
    faces.proportional = name;
  }
  if (faces.any.empty()) faces.any = name;
  return 1;
}

}  // namespace

HFONT createStatusFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  LOGFONTW font = metrics.lfStatusFont;

  LOGFONTW japanese{};
  japanese.lfCharSet = SHIFTJIS_CHARSET;
  JapaneseFaces faces;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &japanese, collectFace, reinterpret_cast<LPARAM>(&faces), 0);
  ReleaseDC(nullptr, screen);
  const std::wstring& face = !faces.uiFace.empty()         ? faces.uiFace
                             : !faces.proportional.empty() ? faces.proportional
                                                           : faces.any;
  if (!face.empty() && face.size() < LF_FACESIZE) {
    font.lfCharSet = SHIFTJIS_CHARSET;
    std::wmemcpy(font.lfFaceName, face.c_str(), face.size() + 1);
  }
  return CreateFontIndirectW(&font);
}

std::wstring widen(const char* cp932) {
  const int length = static_cast<int>(std::strlen(cp932));
  if (length == 0) return {};
  const int wide = MultiByteToWideChar(kCodePage932, 0, cp932, length, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(kCodePage932, 0, cp932, length, out.data(), wide);
  return out;
}

Win32Platform::Win32Platform(HINSTANCE instance, int showCommand)
    : instance_(instance),
      showCommand_(showCommand),
      background_(static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH))) {
  activePlatform = this;
}

Win32Platform::~Win32Platform() {
  releaseBackBuffer();
  if (statusFont_ != nullptr) DeleteObject(statusFont_);
  if (activePlatform == this) activePlatform = nullptr;
}

bool Win32Platform::registerWindowClass() {
  WNDCLASSW wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = &Win32Platform::windowProcedure;
  wc.cbClsExtra = 0;
  wc.cbWndExtra = 0;
  wc.hInstance = instance_;
  wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background_;
  wc.lpszMenuName = nullptr;
  wc.lpszClassName = kWindowClass;
  return RegisterClassW(&wc) != 0;
}

Handle Win32Platform::createMainWindow(GameState& state) {
  state_ = &state;
  // The frame and caption are this system's: wider on today's Windows than
  // the classic ones, which give 647 x 646.
  RECT outer{0, 0, kClientAreaWidth, kClientAreaHeight};
  AdjustWindowRectEx(&outer, kWindowStyle, FALSE, 0);
  return CreateWindowExW(0, kWindowClass, widen(kWindowTitle).c_str(), kWindowStyle, kWindowX,
                         kWindowY, outer.right - outer.left, outer.bottom - outer.top, nullptr,
                         nullptr, instance_, nullptr);
}

Handle Win32Platform::createStatusBar(Handle parent, const char* text) {
  InitCommonControls();
  HWND bar =
      CreateStatusWindowW(kStatusBarStyle, widen(text).c_str(), hwndOf(parent), kStatusBarId);
  if (bar == nullptr) return nullptr;
  if (statusFont_ == nullptr) statusFont_ = createStatusFont();
  SendMessageW(bar, WM_SETFONT, reinterpret_cast<WPARAM>(statusFont_), FALSE);
  int edges[3] = {statusParts[0], statusParts[1], statusParts[2]};
  SendMessageW(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
  return bar;
}

void Win32Platform::showWindow(Handle window) {
  ShowWindow(hwndOf(window), showCommand_);
  UpdateWindow(hwndOf(window));
}

Handle Win32Platform::openMidi() {
  HMIDIOUT midi = nullptr;
  midiOutOpen(&midi, MIDI_MAPPER, 0, 0, CALLBACK_NULL);
  return midi;
}

// Like every MIDI call, the close goes out even without a device: the call
// fails on its own, and the game ignores the result.
void Win32Platform::closeMidi(Handle midi) { midiOutClose(static_cast<HMIDIOUT>(midi)); }

int Win32Platform::runMessageLoop(GameState&) {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

bool Win32Platform::beginPaint(Handle window) {
  ++paintsBegun_;
  fitBackBuffer(hwndOf(window));
  // An erase may come before the paint (a restore erases at once) or inside
  // BeginPaint; either way the board it wiped must be drawn again in full.
  paintDc_ = BeginPaint(hwndOf(window), &paintStruct_);
  dirty_ = RECT{0, 0, 0, 0};
  const bool erased = erasedSincePaint_;
  erasedSincePaint_ = false;
  return erased;
}

void Win32Platform::setPixel(int x, int y, Rgb c) {
  if (paintDc_ == nullptr) return;
  if (x < 0 || y < 0 || x >= bufferWidth_ || y >= bufferHeight_) return;
  bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(bufferWidth_) +
        static_cast<std::size_t>(x)] = (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
  if (dirty_.left == dirty_.right) {
    dirty_ = RECT{x, y, x + 1, y + 1};
  } else {
    dirty_.left = std::min<LONG>(dirty_.left, x);
    dirty_.top = std::min<LONG>(dirty_.top, y);
    dirty_.right = std::max<LONG>(dirty_.right, x + 1);
    dirty_.bottom = std::max<LONG>(dirty_.bottom, y + 1);
  }
}

void Win32Platform::endPaint(Handle window) {
  if (paintDc_ == nullptr) return;
  // Only what the painter set goes out, so the screen changes exactly where
  // SetPixel would have changed it; BeginPaint's clipping applies as well.
  if (dirty_.right > dirty_.left) {
    BitBlt(paintDc_, dirty_.left, dirty_.top, dirty_.right - dirty_.left,
           dirty_.bottom - dirty_.top, bufferDc_, dirty_.left, dirty_.top, SRCCOPY);
  }
  EndPaint(hwndOf(window), &paintStruct_);
  paintDc_ = nullptr;
}

void Win32Platform::invalidate(Handle window, bool erase) {
  if (window == nullptr) return;
  InvalidateRect(hwndOf(window), nullptr, erase ? TRUE : FALSE);
}

void Win32Platform::setTimer(Handle window, int periodMs) {
  if (window == nullptr) return;
  SetTimer(hwndOf(window), kTimerId, static_cast<UINT>(periodMs), nullptr);
}

void Win32Platform::killTimer(Handle window) {
  if (window == nullptr) return;
  KillTimer(hwndOf(window), kTimerId);
}

void Win32Platform::messageBox(Handle owner, const char* text, const char* caption, BoxIcon icon) {
  MessageBoxW(hwndOf(owner), widen(text).c_str(), widen(caption).c_str(),
              MB_OK | (icon == BoxIcon::Warning ? MB_ICONWARNING : MB_ICONERROR));
}

void Win32Platform::setStatusText(Handle statusBar, int part, const char* text) {
  if (statusBar == nullptr) return;
  // Low byte: the part; the byte above it: drawing type 0, a sunken border.
  SendMessageW(hwndOf(statusBar), SB_SETTEXTW, static_cast<WPARAM>(part & 0xFF),
               reinterpret_cast<LPARAM>(widen(text).c_str()));
}

void Win32Platform::midiShortMsg(Handle midi, std::uint32_t message) {
  midiOutShortMsg(static_cast<HMIDIOUT>(midi), message);
}

// Sleep would keep what was just painted off the screen under some window
// systems; waiting on the queue lets it through. With no wake mask no message
// ends the wait or is taken from the queue.
void Win32Platform::sleep(int ms) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(std::max(ms, 0));
  for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
    const DWORD result =
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), 0, 0);
    if (result == WAIT_TIMEOUT) return;
    if (result == WAIT_FAILED) {
      Sleep(static_cast<DWORD>(end - now));
      return;
    }
  }
}

void Win32Platform::postQuit(int code) { PostQuitMessage(code); }

LRESULT CALLBACK Win32Platform::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
  if (activePlatform == nullptr || activePlatform->state_ == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return activePlatform->handle(window, message, wParam, lParam);
}

LRESULT Win32Platform::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  GameState& s = *state_;
  switch (message) {
    case WM_CREATE:
      windowProc(s, *this, window, Message::Create);
      return 0;
    case WM_DESTROY:
      windowProc(s, *this, window, Message::Destroy);
      return 0;
    case WM_PAINT:
      paint(window);
      return 0;
    case WM_CHAR:
      windowProc(s, *this, window, Message::Char, static_cast<unsigned>(wParam));
      return 0;
    case WM_TIMER:
      windowProc(s, *this, window, Message::Timer);
      return 0;
    // Watched, not handled: the default handling still erases the screen
    // and sizes the window.
    case WM_ERASEBKGND:
      eraseBackground(window, reinterpret_cast<HDC>(wParam));
      break;
    case WM_SIZE:
      fitBackBuffer(window);
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void Win32Platform::paint(HWND window) {
  const unsigned before = paintsBegun_;
  windowProc(*state_, *this, window, Message::Paint);
  // A finished game paints nothing; the request is acknowledged all the same,
  // or it would come back for ever.
  if (paintsBegun_ == before) ValidateRect(window, nullptr);
}

void Win32Platform::eraseBackground(HWND window, HDC dc) {
  erasedSincePaint_ = true;
  fitBackBuffer(window);
  if (bufferDc_ == nullptr) return;
  // The region being erased, exactly: anything more would let the back
  // buffer drift from the screen.
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  if (GetRandomRgn(dc, region, SYSRGN) == 1) {
    OffsetRgn(region, -origin.x, -origin.y);
  } else {
    RECT box{};
    GetClipBox(dc, &box);
    SetRectRgn(region, box.left, box.top, box.right, box.bottom);
  }
  FillRgn(bufferDc_, region, background_);
  GdiFlush();
  DeleteObject(region);
}

void Win32Platform::fitBackBuffer(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  // Never shrinks: a minimised window's empty client area must not lose the
  // picture it comes back to.
  const int width = std::max<int>(bufferWidth_, client.right);
  const int height = std::max<int>(bufferHeight_, client.bottom);
  if (width == bufferWidth_ && height == bufferHeight_) return;
  if (width <= 0 || height <= 0) return;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, width, height};
  FillRect(dc, &all, background_);
  if (bufferDc_ != nullptr) {
    BitBlt(dc, 0, 0, bufferWidth_, bufferHeight_, bufferDc_, 0, 0, SRCCOPY);
  }
  GdiFlush();
  releaseBackBuffer();
  bufferDc_ = dc;
  buffer_ = bitmap;
  bufferDcOldBitmap_ = old;
  bits_ = static_cast<std::uint32_t*>(bits);
  bufferWidth_ = width;
  bufferHeight_ = height;
}

void Win32Platform::releaseBackBuffer() {
  if (bufferDc_ != nullptr) {
    SelectObject(bufferDc_, bufferDcOldBitmap_);
    DeleteDC(bufferDc_);
  }
  if (buffer_ != nullptr) DeleteObject(buffer_);
  bufferDc_ = nullptr;
  buffer_ = nullptr;
  bits_ = nullptr;
  bufferWidth_ = bufferHeight_ = 0;
}

}  // namespace vintaro
