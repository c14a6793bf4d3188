#pragma once
// mdlHotkey: Windows + C for the resident window, registered under the global
// atom "Kestrel5", and the window procedure that turns the hotkey message into
// the resident window's double-click action.

#include <windows.h>

#include <functional>

namespace kestrel {

// Replaces the window's procedure by HotkeyWindowProc, keeping the previous
// one chained behind it until the window is destroyed. `doubleClick` runs on
// our hotkey; `wanted` tells whether the hotkey may be registered at all (the
// option "Hotkey").
void InstallHotkeyWindowProc(HWND window, std::function<void()> doubleClick,
                             std::function<bool()> wanted);

// Releases any earlier registration, then registers Windows + C when wanted.
// Failures are not examined.
void RegisterGlobalHotkey();

// Releases the hotkey and its atom; does nothing when none is registered.
void UnregisterGlobalHotkey();

LRESULT CALLBACK HotkeyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace kestrel
