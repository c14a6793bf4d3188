#include "e2e/support/driver.h"

#include <tlhelp32.h>

#include <algorithm>
#include <thread>

#include "e2e/support/paths.h"

namespace e2e {
namespace {

constexpr wchar_t kStoreRoot[] = L"Software\\VB and VBA Program Settings";
// The shell's tray callback message.
constexpr UINT kTrayCallbackMessage = WM_MOUSEMOVE;
constexpr auto kPollInterval = 10ms;

std::wstring AppPath(const wchar_t* application, const wchar_t* section = nullptr) {
  std::wstring path = std::wstring(kStoreRoot) + L"\\" + application;
  if (section) path += std::wstring(L"\\") + section;
  return path;
}

void DumpKey(HKEY key, const std::wstring& prefix, std::vector<std::wstring>& out) {
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD nameLength = 256;
    BYTE data[8192];
    DWORD bytes = sizeof(data) - 2;
    DWORD type = 0;
    if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &bytes) != ERROR_SUCCESS) {
      break;
    }
    data[bytes] = data[bytes + 1] = 0;
    out.push_back(prefix + name + L"=" +
                  (type == REG_SZ ? reinterpret_cast<const wchar_t*>(data) : L"<non-text>"));
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD nameLength = 256;
    if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    HKEY sub = nullptr;
    if (RegOpenKeyExW(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
      DumpKey(sub, prefix + name + L"\\", out);
      RegCloseKey(sub);
    }
  }
}

struct FindContext {
  DWORD processId;
  const wchar_t* className;
  std::vector<HWND>* out;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
  auto* find = reinterpret_cast<FindContext*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == find->processId && (!find->className || ClassName(window) == find->className)) {
    find->out->push_back(window);
  }
  return TRUE;
}

INPUT KeyInput(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  if (vk == VK_LWIN || vk == VK_RWIN || vk == VK_UP || vk == VK_DOWN || vk == VK_LEFT ||
      vk == VK_RIGHT) {
    in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  }
  return in;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (Clock::now() >= deadline) return false;
    PumpFor(kPollInterval);
  }
}

void PumpFor(std::chrono::milliseconds duration) {
  const auto until = Clock::now() + duration;
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (Clock::now() < until);
}

ProgramStore::ProgramStore() { Clear(); }
ProgramStore::~ProgramStore() { Clear(); }

void ProgramStore::Clear() const {
  for (const wchar_t* application : {L"Kestrel5", L"Pictoria2"}) {
    RegDeleteTreeW(HKEY_CURRENT_USER, AppPath(application).c_str());
  }
}

void ProgramStore::Write(const wchar_t* application, const wchar_t* section, const wchar_t* key,
                         const std::wstring& text) const {
  HKEY k = nullptr;
  RegCreateKeyExW(HKEY_CURRENT_USER, AppPath(application, section).c_str(), 0, nullptr, 0,
                  KEY_SET_VALUE, nullptr, &k, nullptr);
  RegSetValueExW(k, key, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(k);
}

std::optional<std::wstring> ProgramStore::Read(const wchar_t* application, const wchar_t* section,
                                               const wchar_t* key) const {
  // Sized first: a value may be longer than any fixed buffer.
  const std::wstring path = AppPath(application, section);
  DWORD bytes = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), key, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), key, RRF_RT_REG_SZ, nullptr, buffer.data(),
                   &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(buffer.data());
}

bool ProgramStore::Exists(const wchar_t* application, const wchar_t* section) const {
  HKEY k = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, AppPath(application, section).c_str(), 0, KEY_READ, &k) !=
      ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(k);
  return true;
}

std::vector<std::wstring> ProgramStore::Dump(const wchar_t* application) const {
  std::vector<std::wstring> out;
  HKEY k = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, AppPath(application).c_str(), 0, KEY_READ, &k) ==
      ERROR_SUCCESS) {
    DumpKey(k, L"", out);
    RegCloseKey(k);
  }
  std::sort(out.begin(), out.end());
  return out;
}

DWORD RunAndWait(std::wstring commandLine, std::chrono::milliseconds timeout) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return GetLastError();
  }
  DWORD code = WAIT_TIMEOUT;
  if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

namespace {
// The copy of the server beside the program, which its manifest names.
std::wstring ServerBesideProgram() {
  const std::wstring program = ProgramPath();
  return program.substr(0, program.find_last_of(L'\\') + 1) + L"QUILLONSoftwareOptions.dll";
}
}  // namespace

UnregisteredServer::UnregisteredServer() {
  RunAndWait(std::wstring(L"regsvr32.exe /s /u \"") + paths::kSettingsDll + L"\"");
  MoveFileW(ServerBesideProgram().c_str(), (ServerBesideProgram() + L".away").c_str());
}
UnregisteredServer::~UnregisteredServer() {
  MoveFileW((ServerBesideProgram() + L".away").c_str(), ServerBesideProgram().c_str());
  RunAndWait(std::wstring(L"regsvr32.exe /s \"") + paths::kSettingsDll + L"\"");
}

std::wstring ProgramPath() {
  wchar_t path[MAX_PATH * 4] = L"";
  const DWORD length = GetEnvironmentVariableW(kProgramVariable, path, MAX_PATH * 4);
  return length > 0 && length < MAX_PATH * 4 ? path : paths::kProgram;
}

Kestrel::Kestrel() {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  std::wstring command = L"\"" + ProgramPath() + L"\"";
  CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                 &process_);
}

Kestrel::~Kestrel() {
  if (!process_.hProcess) return;
  if (Running()) {
    if (background_ && IsWindow(background_)) Command(kQuitCommand);
    // A modal window of the program may have to go first: close what it shows.
    for (HWND window : WindowsOf(process_.dwProcessId, L"#32770")) {
      PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) {
      TerminateProcess(process_.hProcess, 99);
      WaitForSingleObject(process_.hProcess, 5000);
    }
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

bool Kestrel::WaitReady(std::chrono::milliseconds timeout) {
  if (!process_.hProcess) return false;
  const bool found = WaitUntil(
      [this] {
        for (HWND window : WindowsOf(process_.dwProcessId, kBackgroundClass)) {
          if (HWND tray = FindWindowExW(window, nullptr, kTrayIconClass, nullptr)) {
            background_ = window;
            trayIcon_ = tray;
            return true;
          }
        }
        return !Running();
      },
      timeout);
  if (!found || !trayIcon_) return false;
  // The load handler has returned once the program's thread waits for input
  // in its message loop.
  return WaitForInputIdle(process_.hProcess, static_cast<DWORD>(timeout.count())) == 0;
}

std::optional<DWORD> Kestrel::WaitExit(std::chrono::milliseconds timeout) {
  if (!process_.hProcess) return std::nullopt;
  const bool ended = WaitUntil(
      [this] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }, timeout);
  if (!ended) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

bool Kestrel::Running() const {
  return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD Kestrel::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_.hProcess) GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

DWORD Kestrel::uiThreadId() const {
  return background_ ? GetWindowThreadProcessId(background_, nullptr) : process_.dwThreadId;
}

void Kestrel::TrayCallback(UINT mouseMessage) const {
  // Posted, as the shell does not wait for the program's answer.
  PostMessageW(trayIcon_, kTrayCallbackMessage, 0, static_cast<LPARAM>(mouseMessage));
}

void Kestrel::Command(UINT id) const { PostMessageW(background_, WM_COMMAND, id, 0); }

namespace input {
void KeyDown(WORD vk) {
  INPUT in = KeyInput(vk, false);
  SendInput(1, &in, sizeof(in));
}
void KeyUp(WORD vk) {
  INPUT in = KeyInput(vk, true);
  SendInput(1, &in, sizeof(in));
}
void Key(WORD vk) {
  INPUT in[] = {KeyInput(vk, false), KeyInput(vk, true)};
  SendInput(2, in, sizeof(INPUT));
}
void WindowsC() {
  INPUT in[] = {KeyInput(VK_LWIN, false), KeyInput('C', false), KeyInput('C', true),
                KeyInput(VK_LWIN, true)};
  SendInput(4, in, sizeof(INPUT));
}
}  // namespace input

FocusWindow::FocusWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"KestrelE2E.Focus";
  RegisterClassW(&windowClass);
  window_ =
      CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"driver", WS_POPUP | WS_VISIBLE, 0,
                      0, 40, 40, nullptr, nullptr, windowClass.hInstance, nullptr);
}
FocusWindow::~FocusWindow() {
  if (window_) DestroyWindow(window_);
}
bool FocusWindow::Activate() const { return e2e::Activate(window_); }

bool Activate(HWND window) {
  SetForegroundWindow(window);
  return WaitUntil([window] { return GetForegroundWindow() == window; }, 3s);
}

void EndLeftoverInstances() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (_wcsicmp(entry.szExeFile, L"Kestrel5.exe") != 0) continue;
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
      TerminateProcess(process, 98);
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
  }
  CloseHandle(snapshot);
}

bool HotkeyIsFree() {
  constexpr int kProbeId = 0x5A5A;
  if (!RegisterHotKey(nullptr, kProbeId, MOD_WIN, 'C')) return false;
  UnregisterHotKey(nullptr, kProbeId);
  return true;
}

std::vector<HWND> WindowsOf(DWORD processId, const wchar_t* className) {
  std::vector<HWND> out;
  FindContext context{processId, className, &out};
  EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&context));
  return out;
}

std::wstring WindowText(HWND window) {
  wchar_t text[1024] = L"";
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 2000, &length);
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = L"";
  GetClassNameW(window, name, 256);
  return name;
}

std::vector<std::wstring> ChildTexts(HWND window) {
  std::vector<std::wstring> out;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    out.push_back(WindowText(child));
  }
  return out;
}

}  // namespace e2e
