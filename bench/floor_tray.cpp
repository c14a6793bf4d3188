// The floor of a tray resident: a hidden window that adds one icon to the
// notification area and then only waits for messages. WM_CLOSE on its window
// removes the icon and quits.

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "bench/bench_wire.h"

namespace {

using kestrel::bench::kFloorTrayClass;
using kestrel::bench::kFloorTrayIconId;

NOTIFYICONDATAW IconRecord(HWND window) {
  NOTIFYICONDATAW icon{};
  icon.cbSize = sizeof(icon);
  icon.hWnd = window;
  icon.uID = kFloorTrayIconId;
  return icon;
}

LRESULT CALLBACK TrayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE: {
      NOTIFYICONDATAW icon = IconRecord(window);
      Shell_NotifyIconW(NIM_DELETE, &icon);
      DestroyWindow(window);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = &TrayProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kFloorTrayClass;
  if (!RegisterClassA(&windowClass)) return 1;
  const HWND window = CreateWindowExA(0, kFloorTrayClass, "floor tray", WS_POPUP, 0, 0, 0, 0,
                                      nullptr, nullptr, instance, nullptr);
  if (!window) return 2;
  NOTIFYICONDATAW icon = IconRecord(window);
  icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
  icon.uCallbackMessage = WM_APP;
  icon.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  lstrcpynW(icon.szTip, L"floor", 64);
  Shell_NotifyIconW(NIM_ADD, &icon);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
