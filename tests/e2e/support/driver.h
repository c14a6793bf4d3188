#pragma once
// The end-to-end driver: starts the real Kestrel5.exe in the test prefix with
// a store prepared by the test, and acts on it as the shell and the user
// would. Every wait polls a condition against a deadline; nothing sleeps a
// fixed time in the hope that something happened.

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/text.h"

namespace e2e {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Polls until the condition holds or the timeout passes; pumps this thread's
// messages meanwhile. True when the condition held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s);

// Runs this thread's pending messages for a while (for windows of the driver).
void PumpFor(std::chrono::milliseconds duration);

// The program's part of the settings store, emptied before and after a test.
class ProgramStore {
 public:
  ProgramStore();
  ~ProgramStore();
  ProgramStore(const ProgramStore&) = delete;
  ProgramStore& operator=(const ProgramStore&) = delete;

  // application "Kestrel5" or "Pictoria2", section "Options" or "App".
  void Write(const wchar_t* application, const wchar_t* section, const wchar_t* key,
             const std::wstring& text) const;
  std::optional<std::wstring> Read(const wchar_t* application, const wchar_t* section,
                                   const wchar_t* key) const;
  bool Exists(const wchar_t* application, const wchar_t* section = nullptr) const;
  // Every value under the application, as "section\key=text" lines, sorted.
  std::vector<std::wstring> Dump(const wchar_t* application) const;
  void Clear() const;
};

// The settings server out of the program's reach for one test: its
// registration removed and the copy beside the program moved away; both
// restored afterwards.
class UnregisteredServer {
 public:
  UnregisteredServer();
  ~UnregisteredServer();
  UnregisteredServer(const UnregisteredServer&) = delete;
  UnregisteredServer& operator=(const UnregisteredServer&) = delete;
};

// Runs a console program of the prefix and returns its exit code.
DWORD RunAndWait(std::wstring commandLine, std::chrono::milliseconds timeout = 60s);

// The program under test: the one named by the environment variable
// KESTREL_E2E_PROGRAM_PATH (an unpacked or installed copy), else the build
// tree's.
inline constexpr wchar_t kProgramVariable[] = L"KESTREL_E2E_PROGRAM_PATH";
// The program's resident window and its tray icon's window, its only child.
inline constexpr wchar_t kBackgroundClass[] = L"Kestrel5.frmBackground";
inline constexpr wchar_t kTrayIconClass[] = L"Kestrel5.picTrayIcon";
// The tray menu's quit command.
inline constexpr UINT kQuitCommand = 1011;
std::wstring ProgramPath();

// The running program. Ends it on destruction: by its own quit command when
// it still answers, else by force, so a failed test leaves nothing behind.
class Kestrel {
 public:
  // Starts Kestrel5.exe; does not wait for it.
  Kestrel();
  ~Kestrel();
  Kestrel(const Kestrel&) = delete;
  Kestrel& operator=(const Kestrel&) = delete;

  // Waits until the resident window and its tray callback window exist.
  bool WaitReady(std::chrono::milliseconds timeout = 15s);
  // Waits for the process to end; its exit code, or nothing on time-out.
  std::optional<DWORD> WaitExit(std::chrono::milliseconds timeout = 15s);
  bool Running() const;
  DWORD ExitCode() const;
  DWORD processId() const { return process_.dwProcessId; }
  HANDLE process() const { return process_.hProcess; }
  DWORD uiThreadId() const;

  HWND background() const { return background_; }
  HWND trayIcon() const { return trayIcon_; }

  // The shell's tray callback: the mouse message in the low word of lParam.
  void TrayCallback(UINT mouseMessage) const;
  // A menu command as if chosen from a popup menu.
  void Command(UINT id) const;

 private:
  PROCESS_INFORMATION process_{};
  HWND background_ = nullptr;
  HWND trayIcon_ = nullptr;
};

// Real input through SendInput.
namespace input {
void Key(WORD vk);
void KeyDown(WORD vk);
void KeyUp(WORD vk);
// Windows + C as a user presses it.
void WindowsC();
}  // namespace input

// Brings a window to the foreground and waits until it is there.
bool Activate(HWND window);

// A small window of the driver's own that can take the keyboard focus, so
// that keys meant for the system reach no window of the program.
class FocusWindow {
 public:
  FocusWindow();
  ~FocusWindow();
  FocusWindow(const FocusWindow&) = delete;
  FocusWindow& operator=(const FocusWindow&) = delete;
  bool Activate() const;

 private:
  HWND window_ = nullptr;
};

// Ends any Kestrel5.exe of the test prefix that an earlier, failed run left.
void EndLeftoverInstances();

// True when this process could register Windows + C, i.e. nobody holds it.
bool HotkeyIsFree();

// Top-level windows of a process, optionally of one class.
std::vector<HWND> WindowsOf(DWORD processId, const wchar_t* className = nullptr);
std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
// The texts of a window's direct children, in z order.
std::vector<std::wstring> ChildTexts(HWND window);

using testing_support::Utf8;

}  // namespace e2e
