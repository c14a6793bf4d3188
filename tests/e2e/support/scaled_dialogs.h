#pragma once
// The three dialogs the program lays out for their monitor's resolution, as
// a test opens and closes them.

#include <windows.h>

#include "e2e/support/driver.h"
#include "tray/tray_logic.h"

namespace e2e {

struct ScaledDialog {
  const char* name;
  kestrel::MenuCommand opens;
  const wchar_t* caption;
};

inline constexpr ScaledDialog kScaledDialogs[] = {
    {"the options dialog", kestrel::MenuCommand::Options, L"オプション"},
    {"the about box", kestrel::MenuCommand::Version, L"Kestrel 5 のバージョン情報"},
    {"the input box", kestrel::MenuCommand::FreeTimerScreenCut, L"時間を指定して画面を切り取る"},
};

// Opens a dialog by its menu command; its window once it shows, else null.
inline HWND OpenScaledDialog(const Kestrel& program, const ScaledDialog& dialog) {
  program.Command(static_cast<UINT>(dialog.opens));
  HWND found = nullptr;
  WaitUntil([&] {
    for (HWND window : WindowsOf(program.processId(), L"#32770"))
      if (IsWindowVisible(window) && WindowText(window) == dialog.caption) found = window;
    return found != nullptr;
  });
  return found;
}

// Closes it as its close box does; true once it is gone.
inline bool CloseScaledDialog(HWND window) {
  PostMessageW(window, WM_CLOSE, 0, 0);
  return WaitUntil([&] { return !IsWindow(window); });
}

}  // namespace e2e
