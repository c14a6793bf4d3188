#pragma once
// The per-user install as the package tests see it: where it puts the
// program, and msiexec run quietly.

#include <windows.h>
// After windows.h, which they need.
#include <shlobj.h>

#include <string>

#include "common/registry_key.h"
#include "e2e/support/driver.h"

namespace e2e {

inline std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  wchar_t* path = nullptr;
  std::wstring out;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) out = path;
  CoTaskMemFree(path);
  return out;
}

// %LocalAppData%\Programs\Kestrel5, without a trailing separator.
inline std::wstring InstallFolder() {
  return KnownFolder(FOLDERID_LocalAppData) + L"\\Programs\\Kestrel5";
}

// Wine keeps one view of the user's classes for 32- and 64-bit code until
// this key exists; Windows has it from the start. With it, rows written to
// the wrong view are not found where they belong.
inline void SeparateUserClassViews() {
  kestrel::RegistryKey key;
  RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes\\Wow6432Node", 0, nullptr, 0, KEY_READ,
                  nullptr, key.Put(), nullptr);
}

// msiexec ARGUMENTS /qn; its exit code.
inline DWORD Msiexec(const std::wstring& arguments) {
  return RunAndWait(L"msiexec.exe " + arguments + L" /qn", std::chrono::minutes(3));
}

// The same with basic UI (/qb): a progress bar, as a double-click's install
// shows, without dialogs that wait for a click.
inline DWORD MsiexecBasicUi(const std::wstring& arguments) {
  return RunAndWait(L"msiexec.exe " + arguments + L" /qb", std::chrono::minutes(3));
}

// The shell still shows the icon: only a known icon can be modified.
inline bool TrayIconShown(HWND trayIcon) {
  NOTIFYICONDATAW probe{};
  probe.cbSize = sizeof(probe);
  probe.hWnd = trayIcon;
  probe.uID = 0;
  return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

// The tray icon's window of a Kestrel5 that someone else started, once the
// shell shows the icon; null when none does within TIMEOUT.
inline HWND StartedProgramTrayIcon(std::chrono::milliseconds timeout) {
  HWND icon = nullptr;
  WaitUntil(
      [&] {
        const HWND background = FindWindowW(kBackgroundClass, nullptr);
        icon = background ? FindWindowExW(background, nullptr, kTrayIconClass, nullptr) : nullptr;
        return icon && TrayIconShown(icon);
      },
      timeout);
  return icon && TrayIconShown(icon) ? icon : nullptr;
}

// Quits that program by its own command, as its tray menu does, and waits
// until it has ended.
inline bool QuitStartedProgram(HWND trayIcon) {
  DWORD processId = 0;
  GetWindowThreadProcessId(trayIcon, &processId);
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  PostMessageW(GetParent(trayIcon), WM_COMMAND, kQuitCommand, 0);
  const bool ended = process && WaitForSingleObject(process, 15000) == WAIT_OBJECT_0;
  if (process) CloseHandle(process);
  return ended;
}

}  // namespace e2e
