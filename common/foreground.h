#pragma once

#include <windows.h>

namespace kestrel {

// Makes `window` the foreground window with the keyboard focus. Windows
// refuses the foreground to a process that did not receive the last input
// (a countdown that ends while the user types into another program); while
// our thread shares the foreground thread's input state, the change is
// allowed, so the keys go where the user now looks.
inline void TakeKeyboard(HWND window) {
  SetForegroundWindow(window);
  const HWND foreground = GetForegroundWindow();
  if (foreground && foreground != window) {
    const DWORD ours = GetCurrentThreadId();
    const DWORD theirs = GetWindowThreadProcessId(foreground, nullptr);
    if (theirs != ours && AttachThreadInput(ours, theirs, TRUE)) {
      SetForegroundWindow(window);
      SetFocus(window);
      AttachThreadInput(ours, theirs, FALSE);
    }
  }
  SetFocus(window);
}

}  // namespace kestrel
