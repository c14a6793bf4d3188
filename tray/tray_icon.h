#pragma once
// The notification-area icon: the ANSI notification record of the original
// layout (88 bytes in the 32-bit program), built afresh for each call.

#include <windows.h>

namespace kestrel {

// Adds the icon with the tip "Kestrel 5"; the result is ignored.
void AddTrayIcon(HWND callbackWindow, HICON icon);

// Gives the icon another picture; the result is ignored.
void ModifyTrayIcon(HWND callbackWindow, HICON icon);

// Removes the icon; the record carries the tip "Thornapple".
void DeleteTrayIcon(HWND callbackWindow, HICON icon);

}  // namespace kestrel
