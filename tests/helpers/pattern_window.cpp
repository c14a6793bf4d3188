// A window over the whole virtual screen (every monitor) whose every pixel
// encodes its own screen coordinates, so a cut can be checked pixel by pixel:
// R = x & 255, G = y & 255, B = (((x >> 8) << 4) | (y >> 8)) & 255.
// "pattern_window.exe inverted" shows the complement of every channel, a
// second picture of the same screen.
// The screen capture only sees windows of Wine, hence a Windows program.

#include <windows.h>

#include <cstdint>
#include <cwchar>

namespace {

constexpr wchar_t kClassName[] = L"KestrelE2E.Pattern";

bool g_inverted = false;

uint32_t PatternPixel(int x, int y) {
  const uint32_t red = static_cast<uint32_t>(x) & 0xFF;
  const uint32_t green = static_cast<uint32_t>(y) & 0xFF;
  const uint32_t blue =
      (((static_cast<uint32_t>(x) >> 8) << 4) | (static_cast<uint32_t>(y) >> 8)) & 0xFF;
  const uint32_t rgb = (red << 16) | (green << 8) | blue;
  return g_inverted ? (~rgb & 0xFFFFFF) : rgb;
}

void Paint(HWND window) {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  // Client pixel (0, 0) is the screen's (left, top), left of the primary
  // monitor when a monitor lies there.
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = client.right;
  info.bmiHeader.biHeight = -client.bottom;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap) {
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < client.bottom; ++y)
      for (int x = 0; x < client.right; ++x)
        pixels[y * client.right + x] = PatternPixel(origin.x + x, origin.y + y);
    const HDC memory = CreateCompatibleDC(dc);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
  }
  EndPaint(window, &paint);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Physical pixels, as the program under test sees them.
  SetProcessDPIAware();
  g_inverted = wcsstr(GetCommandLineW(), L" inverted") != nullptr;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  RegisterClassW(&windowClass);
  CreateWindowExW(0, kClassName, g_inverted ? L"inverted" : L"plain", WS_POPUP | WS_VISIBLE,
                  GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                  GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN),
                  nullptr, nullptr, instance, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
