#pragma once
// The resolution a window is shown at and what follows from it. The
// per-monitor functions exist from Windows 10 (1607) on: they are looked up
// at run time, so that the program still starts without them; there the
// whole desktop has the screen's one resolution, which then serves.

#include <windows.h>

#include <cwchar>

#include "common/test_hooks.h"

namespace kestrel {
namespace window_dpi_detail {

// user32 is loaded with the program: looking a function up loads nothing.
template <class Function>
Function User32Function(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                : nullptr;
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
// DIALOG_DPI_CHANGE_BEHAVIORS is an enumeration of 32 bits.
using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
constexpr int kDialogScalingDisableAll = 1;  // DDC_DISABLE_ALL

}  // namespace window_dpi_detail

inline constexpr int kPointsPerInch = 72;

// The screen's resolution: the system's, the same for every monitor before
// Windows 8.1.
inline int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// The resolution of the monitor a window is on.
inline int WindowDpi(HWND window) {
  using namespace window_dpi_detail;
  if (const int forced = TestMonitorDpi(); forced > 0) return forced;
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow && window)
    if (const UINT dpi = getDpiForWindow(window); dpi > 0) return static_cast<int>(dpi);
  return ScreenDpi();
}

// The side of a small icon (a tray icon's) at a resolution.
inline int SmallIconSide(int dpi) {
  using namespace window_dpi_detail;
  static const auto forDpi = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
  if (forDpi)
    if (const int side = forDpi(SM_CXSMICON, static_cast<UINT>(dpi)); side > 0) return side;
  return GetSystemMetrics(SM_CXSMICON);
}

// The size of a window whose client area is `width` x `height` at a
// resolution, with the window's own style.
inline SIZE WindowSizeForClient(HWND window, int width, int height, int dpi) {
  using namespace window_dpi_detail;
  static const auto adjust = User32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  RECT frame{0, 0, width, height};
  if (!adjust || !adjust(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi)))
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

// Windows scales a dialog of a per-monitor aware program by itself when its
// resolution changes (from Windows 10, 1703): the size, the controls and
// their fonts. Ours lay themselves out from twips, so that is turned off;
// before that version there is nothing to turn off.
inline void KeepDialogScalingOff(HWND dialog) {
  using namespace window_dpi_detail;
  static const auto set =
      User32Function<SetDialogDpiChangeBehaviorFn>("SetDialogDpiChangeBehavior");
  if (set) set(dialog, kDialogScalingDisableAll, kDialogScalingDisableAll);
}

// A font of `hundredthsOfPoint` at a resolution.
inline HFONT CreatePointFont(int hundredthsOfPoint, int dpi, const wchar_t* face, BYTE charset,
                             int weight = FW_NORMAL,
                             BYTE pitchAndFamily = DEFAULT_PITCH | FF_DONTCARE) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(hundredthsOfPoint, dpi, kPointsPerInch * 100);
  font.lfWeight = weight;
  font.lfCharSet = charset;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = pitchAndFamily;
  wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirectW(&font);
}

}  // namespace kestrel
