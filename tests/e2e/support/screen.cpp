#include "e2e/support/screen.h"

#include <sstream>

#include "e2e/support/driver.h"
#include "e2e/support/paths.h"

namespace e2e {
namespace {

constexpr wchar_t kPatternClass[] = L"KestrelE2E.Pattern";
constexpr wchar_t kOverlayClass[] = L"Kestrel5.frmScreenCut";

std::string Hex(uint32_t value) {
  char text[16];
  snprintf(text, sizeof(text), "%06X", static_cast<unsigned>(value));
  return text;
}

// A few points of the screen show the pattern (its window is painted).
bool ScreenShows(Pattern pattern) {
  const HDC screen = GetDC(nullptr);
  bool shows = screen != nullptr;
  const POINT probes[] = {{1, 1}, {300, 200}, {700, 500}, {1100, 300}};
  for (const POINT& p : probes) {
    if (!shows) break;
    const COLORREF c = GetPixel(screen, p.x, p.y);
    const uint32_t rgb = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    shows = c != CLR_INVALID && rgb == PatternPixel(pattern, p.x, p.y);
  }
  if (screen) ReleaseDC(nullptr, screen);
  return shows;
}

// A picture of width x height drawn by `draw` into a 32-bit top-down DIB
// selected into a memory DC; nothing when drawing fails.
template <class Draw>
std::optional<Picture> DrawnPicture(int width, int height, Draw draw) {
  Picture picture;
  picture.width = width;
  picture.height = height;
  BITMAPINFO target{};
  target.bmiHeader.biSize = sizeof(target.bmiHeader);
  target.bmiHeader.biWidth = width;
  target.bmiHeader.biHeight = -height;
  target.bmiHeader.biPlanes = 1;
  target.bmiHeader.biBitCount = 32;
  void* targetBits = nullptr;
  const HDC memory = CreateCompatibleDC(nullptr);
  const HBITMAP bitmap = CreateDIBSection(memory, &target, DIB_RGB_COLORS, &targetBits, nullptr, 0);
  bool drawn = false;
  if (bitmap) {
    const HGDIOBJ old = SelectObject(memory, bitmap);
    drawn = draw(memory);
    GdiFlush();
    if (drawn) {
      const auto* source = static_cast<const uint32_t*>(targetBits);
      picture.pixels.assign(source, source + static_cast<size_t>(width) * height);
      for (uint32_t& p : picture.pixels) p &= 0xFFFFFF;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  if (!drawn) return std::nullopt;
  return picture;
}

// Any packed DIB as 32-bit top-down pixels, converted by GDI.
std::optional<Picture> FromPackedDib(const BITMAPINFO* info, size_t bytes) {
  const BITMAPINFOHEADER& header = info->bmiHeader;
  if (bytes < sizeof(header) || header.biWidth < 0) return std::nullopt;
  Picture picture;
  picture.width = header.biWidth;
  picture.height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
  picture.pixels.assign(static_cast<size_t>(picture.width) * picture.height, 0);
  if (picture.pixels.empty()) return picture;
  size_t colours = header.biClrUsed;
  if (colours == 0 && header.biBitCount <= 8) colours = size_t{1} << header.biBitCount;
  size_t offset = header.biSize + colours * sizeof(RGBQUAD);
  if (header.biCompression == BI_BITFIELDS && header.biSize == sizeof(BITMAPINFOHEADER))
    offset += 3 * sizeof(DWORD);
  if (offset >= bytes) return std::nullopt;
  const auto* bits = reinterpret_cast<const BYTE*>(info) + offset;

  return DrawnPicture(picture.width, picture.height, [&](HDC memory) {
    return SetDIBitsToDevice(memory, 0, 0, picture.width, picture.height, 0, 0, 0, picture.height,
                             bits, info, DIB_RGB_COLORS) != 0;
  });
}

// The clipboard, opened for a scope; another process may hold it briefly.
class OpenedClipboard {
 public:
  OpenedClipboard() {
    open_ = WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 5s);
  }
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  bool open() const { return open_; }

 private:
  bool open_ = false;
};

}  // namespace

std::optional<Picture> PictureFromPackedDib(const void* dib, size_t bytes) {
  if (bytes < sizeof(BITMAPINFOHEADER)) return std::nullopt;
  return FromPackedDib(static_cast<const BITMAPINFO*>(dib), bytes);
}

uint32_t PatternPixel(Pattern pattern, int x, int y) {
  const uint32_t red = static_cast<uint32_t>(x) & 0xFF;
  const uint32_t green = static_cast<uint32_t>(y) & 0xFF;
  const uint32_t blue =
      (((static_cast<uint32_t>(x) >> 8) << 4) | (static_cast<uint32_t>(y) >> 8)) & 0xFF;
  const uint32_t rgb = (red << 16) | (green << 8) | blue;
  return pattern == Pattern::Inverted ? (~rgb & 0xFFFFFF) : rgb;
}

PatternWindow::PatternWindow(Pattern pattern) {
  std::wstring command = std::wstring(L"\"") + paths::kPatternWindow + L"\"";
  if (pattern == Pattern::Inverted) command += L" inverted";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process_)) {
    process_ = {};
    return;
  }
  WaitUntil([&] {
    const auto windows = WindowsOf(process_.dwProcessId, kPatternClass);
    if (!windows.empty()) window_ = windows.front();
    return window_ != nullptr;
  });
  shown_ = window_ && WaitUntil([&] { return ScreenShows(pattern); });
}

PatternWindow::~PatternWindow() {
  if (!process_.hProcess) return;
  if (window_ && IsWindow(window_)) PostMessageW(window_, WM_CLOSE, 0, 0);
  if (!WaitUntil([&] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }, 5s))
    TerminateProcess(process_.hProcess, 97);
  WaitForSingleObject(process_.hProcess, 5000);
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

::testing::AssertionResult IsPatternArea(const std::optional<Picture>& picture, Pattern pattern,
                                         const RECT& area) {
  if (!picture) return ::testing::AssertionFailure() << "the clipboard holds no picture";
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (picture->width != width || picture->height != height) {
    return ::testing::AssertionFailure()
           << "picture is " << picture->width << " x " << picture->height << ", expected " << width
           << " x " << height;
  }
  size_t differing = 0;
  std::ostringstream first;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t expected = PatternPixel(pattern, area.left + x, area.top + y);
      if (picture->at(x, y) == expected) continue;
      if (differing++ == 0) {
        first << "pixel (" << x << ", " << y << ") of the picture is " << Hex(picture->at(x, y))
              << ", expected " << Hex(expected) << " (the screen's (" << area.left + x << ", "
              << area.top + y << "))";
      }
    }
  }
  if (differing == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << differing << " pixels differ; " << first.str();
}

std::optional<Picture> ScreenPicture(const RECT& area) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return std::nullopt;
  const HDC screen = GetDC(nullptr);
  auto picture = DrawnPicture(width, height, [&](HDC memory) {
    return BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != FALSE;
  });
  ReleaseDC(nullptr, screen);
  return picture;
}

std::optional<Picture> ClipboardPicture() {
  const OpenedClipboard clipboard;
  if (!clipboard.open()) return std::nullopt;
  const HANDLE data = GetClipboardData(CF_DIB);
  if (!data) return std::nullopt;
  const auto* info = static_cast<const BITMAPINFO*>(GlobalLock(data));
  if (!info) return std::nullopt;
  auto picture = FromPackedDib(info, GlobalSize(data));
  GlobalUnlock(data);
  return picture;
}

std::optional<std::wstring> ClipboardText() {
  const OpenedClipboard clipboard;
  if (!clipboard.open()) return std::nullopt;
  const HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (!data) return std::nullopt;
  const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
  if (!text) return std::nullopt;
  std::wstring out(text);
  GlobalUnlock(data);
  return out;
}

bool SetClipboardText(const std::wstring& text) {
  const OpenedClipboard clipboard;
  if (!clipboard.open() || !EmptyClipboard()) return false;
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return false;
  memcpy(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  if (SetClipboardData(CF_UNICODETEXT, memory)) return true;
  GlobalFree(memory);
  return false;
}

bool ClearClipboard() {
  const OpenedClipboard clipboard;
  return clipboard.open() && EmptyClipboard();
}

int ClipboardFormatCount() {
  const OpenedClipboard clipboard;
  return clipboard.open() ? CountClipboardFormats() : -1;
}

ClipboardHold::ClipboardHold() {
  held_ = WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 5s);
}

void ClipboardHold::Release() {
  if (held_) CloseClipboard();
  held_ = false;
}

HWND OverlayWindow() { return FindWindowW(kOverlayClass, nullptr); }

bool OverlayVisible() {
  const HWND overlay = OverlayWindow();
  return overlay && IsWindowVisible(overlay);
}

bool WaitOverlayShown() { return WaitUntil(&OverlayVisible); }
bool WaitOverlayGone() {
  return WaitUntil([] { return OverlayWindow() == nullptr; });
}

}  // namespace e2e
