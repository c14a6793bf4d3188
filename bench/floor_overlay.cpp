// The floor of opening an overlay: on Windows + C, copy the desktop into a
// memory bitmap and show it in a topmost borderless window. Nothing else, so
// the time from the key to a visible window is what Wine and the platform
// cost. Over the frozen image it draws a crosshair, two one-pixel lines
// across the window that follow each pointer move, and a tick of the timer
// the overlay's pulse uses recolours them in place: the floor of a move and
// of a tick. A press and a release of the left button on it put the
// rectangle between them on the clipboard as a bitmap and close it: the
// floor of the hand-over. WM_CLOSE on the overlay hides it again; WM_CLOSE on
// the host quits.

#include <windows.h>

#include <algorithm>

#include "bench/bench_wire.h"
#include "common/open_trace.h"
#include "core/capture_control_rules.h"
#include "overlay/surface.h"

namespace {

using kestrel::bench::kFloorHostClass;
using kestrel::bench::kFloorOverlayClass;
constexpr int kHotkeyId = 1;
// The overlay's pulse timer, as the move probe sends it.
constexpr WPARAM kPulseTimerId = 1;
constexpr COLORREF kLineWhite = RGB(255, 255, 255);
constexpr COLORREF kLineGrey = RGB(128, 128, 128);

using kestrel::UniqueBitmap;
using kestrel::UniqueMemoryDc;

struct FrozenScreen {
  UniqueBitmap bitmap;
  UniqueMemoryDc dc;
  HGDIOBJ old = nullptr;
  int width = 0;
  int height = 0;

  void Release() {
    if (dc && old) SelectObject(dc.get(), old);
    old = nullptr;
    dc.Reset();
    bitmap.Reset();
  }
};

FrozenScreen g_frozen;
HWND g_overlay = nullptr;
POINT g_press{};
POINT g_crosshair{};
COLORREF g_lineColour = kLineWhite;

RECT LineH(POINT at) { return {0, at.y, g_frozen.width, at.y + 1}; }
RECT LineV(POINT at) { return {at.x, 0, at.x + 1, g_frozen.height}; }

// The lines at `from` and at `to` repainted, in one invalidation.
void InvalidateCrosshair(HWND window, POINT from, POINT to) {
  const RECT rects[] = {LineH(from), LineV(from), LineH(to), LineV(to)};
  const kestrel::UniqueRegion all(CreateRectRgn(0, 0, 0, 0));
  const kestrel::UniqueRegion one(CreateRectRgn(0, 0, 0, 0));
  for (const RECT& r : rects) {
    SetRectRgn(one.get(), r.left, r.top, r.right, r.bottom);
    CombineRgn(all.get(), all.get(), one.get(), RGN_OR);
  }
  InvalidateRgn(window, all.get(), FALSE);
}

void FillLine(HDC dc, const RECT& r) {
  SetDCBrushColor(dc, g_lineColour);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// The rectangle from the press to the release, the far column and row
// excluded, as a bitmap on the clipboard. As with the program, an empty
// rectangle still empties the clipboard: a failed hand-over then tells a
// lost press from a clipboard that could not be opened.
void HandOver(HWND window, POINT release) {
  const int left = std::min(g_press.x, release.x);
  const int top = std::min(g_press.y, release.y);
  const int width = std::max(g_press.x, release.x) - left;
  const int height = std::max(g_press.y, release.y) - top;
  UniqueBitmap picture;
  if (width > 0 && height > 0) {
    const HDC screen = GetDC(window);
    picture.Reset(CreateCompatibleBitmap(screen, width, height));
    ReleaseDC(window, screen);
    UniqueMemoryDc dc(CreateCompatibleDC(g_frozen.dc.get()));
    const HGDIOBJ old = SelectObject(dc.get(), picture.get());
    BitBlt(dc.get(), 0, 0, width, height, g_frozen.dc.get(), left, top, SRCCOPY);
    SelectObject(dc.get(), old);
  }
  // Held by another program (Wine's own clipboard manager among them), the
  // clipboard is tried again as the program tries it.
  bool open = false;
  for (int attempt = 0; !open && attempt < kestrel::kClipboardOpenAttempts; ++attempt) {
    if (attempt > 0) Sleep(kestrel::kClipboardRetryMilliseconds);
    open = OpenClipboard(window) != FALSE;
  }
  if (!open) return;
  EmptyClipboard();
  if (picture && SetClipboardData(CF_BITMAP, picture.get())) picture.Detach();
  CloseClipboard();
}

void Capture() {
  g_frozen.width = GetSystemMetrics(SM_CXSCREEN);
  g_frozen.height = GetSystemMetrics(SM_CYSCREEN);
  const HWND desktop = GetDesktopWindow();
  const HDC screen = GetDC(desktop);
  g_frozen.dc.Reset(CreateCompatibleDC(screen));
  g_frozen.bitmap.Reset(CreateCompatibleBitmap(screen, g_frozen.width, g_frozen.height));
  g_frozen.old = SelectObject(g_frozen.dc.get(), g_frozen.bitmap.get());
  BitBlt(g_frozen.dc.get(), 0, 0, g_frozen.width, g_frozen.height, screen, 0, 0, SRCCOPY);
  ReleaseDC(desktop, screen);
}

void Open(HINSTANCE instance) {
  if (g_overlay) return;
  Capture();
  kestrel::OpenTraceStep("captured");
  GetCursorPos(&g_crosshair);
  g_lineColour = kLineWhite;
  g_overlay = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kFloorOverlayClass, "",
                              WS_POPUP | WS_VISIBLE, 0, 0, g_frozen.width, g_frozen.height, nullptr,
                              nullptr, instance, nullptr);
  kestrel::OpenTraceStep("shown");
}

LRESULT CALLBACK OverlayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      kestrel::OpenTraceStep("paint");
      PAINTSTRUCT paint{};
      const HDC dc = BeginPaint(window, &paint);
      // One copy over the bounds, clipped to what is invalid, then the lines.
      const RECT& r = paint.rcPaint;
      BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, g_frozen.dc.get(), r.left,
             r.top, SRCCOPY);
      FillLine(dc, LineH(g_crosshair));
      FillLine(dc, LineV(g_crosshair));
      EndPaint(window, &paint);
      kestrel::OpenTraceEnd("floor", "painted");
      return 0;
    }
    case WM_MOUSEMOVE: {
      const POINT from = g_crosshair;
      g_crosshair = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      InvalidateCrosshair(window, from, g_crosshair);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kPulseTimerId) {
        g_lineColour = g_lineColour == kLineWhite ? kLineGrey : kLineWhite;
        InvalidateCrosshair(window, g_crosshair, g_crosshair);
      }
      return 0;
    case WM_LBUTTONDOWN:
      g_press = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      return 0;
    case WM_LBUTTONUP:
      HandOver(window, {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      DestroyWindow(window);
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_NCDESTROY:
      g_overlay = nullptr;
      g_frozen.Release();
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_HOTKEY:
      kestrel::OpenTraceBegin("hotkey");
      Open(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)));
      return 0;
    case WM_CLOSE:
      if (g_overlay) DestroyWindow(g_overlay);
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      UnregisterHotKey(window, kHotkeyId);
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA overlayClass{};
  overlayClass.lpfnWndProc = &OverlayProc;
  overlayClass.hInstance = instance;
  overlayClass.hCursor = LoadCursor(nullptr, IDC_CROSS);
  overlayClass.lpszClassName = kFloorOverlayClass;
  WNDCLASSA hostClass{};
  hostClass.lpfnWndProc = &HostProc;
  hostClass.hInstance = instance;
  hostClass.lpszClassName = kFloorHostClass;
  if (!RegisterClassA(&overlayClass) || !RegisterClassA(&hostClass)) return 1;
  const HWND host = CreateWindowExA(0, kFloorHostClass, "floor", WS_POPUP, 0, 0, 0, 0, nullptr,
                                    nullptr, instance, nullptr);
  if (!host) return 2;
  if (!RegisterHotKey(host, kHotkeyId, MOD_WIN, 'C')) {
    DestroyWindow(host);
    return 3;
  }
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
