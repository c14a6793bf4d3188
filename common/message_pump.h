#pragma once
// Lets the pending window messages of this thread run once, so that other
// windows repaint or a menu can close before the caller goes on.

#include <windows.h>

namespace kestrel {

inline void DoEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave the end of the program to the message loop that owns it.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace kestrel
