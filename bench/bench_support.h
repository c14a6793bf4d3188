#pragma once
// Helpers of the benchmark drivers: waiting, percentiles, Windows + C, a
// started program that is asked to quit, the idle footprint and the desktop
// anchor.

#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/win_handles.h"

namespace kestrel::bench {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

inline constexpr auto kStartTimeout = 30s;
// Lets the desktop repaint and settle between measurements.
inline constexpr auto kSettle = 250ms;

inline double Percentile(std::vector<double> v, double q) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t rank = static_cast<size_t>(q * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(rank, v.size() - 1)];
}

inline bool WaitUntil(const std::function<bool()>& done, Clock::duration timeout) {
  const auto end = Clock::now() + timeout;
  while (!done()) {
    if (Clock::now() > end) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

inline INPUT KeyInput(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = (vk == VK_LWIN ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
  return in;
}

inline void PressWindowsC() {
  INPUT in[] = {KeyInput(VK_LWIN, false), KeyInput('C', false), KeyInput('C', true),
                KeyInput(VK_LWIN, true)};
  SendInput(4, in, sizeof(INPUT));
}

inline HWND VisibleWindow(const char* className) {
  const HWND window = FindWindowA(className, nullptr);
  return window && IsWindowVisible(window) ? window : nullptr;
}

// A started program, asked to quit (or ended) when the owner goes.
class Started {
 public:
  Started(const std::wstring& path, const char* readyClass, std::function<void(HWND)> quit)
      : quit_(std::move(quit)) {
    std::wstring command = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
      return;
    process_.Reset(info.hProcess);
    CloseHandle(info.hThread);
    WaitUntil(
        [&] {
          ready_ = FindWindowA(readyClass, nullptr);
          return ready_ != nullptr || WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0;
        },
        kStartTimeout);
    if (ready_) WaitForInputIdle(process_.get(), 10000);
  }
  ~Started() {
    if (!process_) return;
    if (ready_) quit_(ready_);
    if (WaitForSingleObject(process_.get(), 10000) != WAIT_OBJECT_0) {
      TerminateProcess(process_.get(), 99);
      WaitForSingleObject(process_.get(), 5000);
    }
  }
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;
  bool ready() const { return ready_ != nullptr; }
  HANDLE process() const { return process_.get(); }

 private:
  UniqueKernelHandle process_;
  HWND ready_ = nullptr;
  std::function<void(HWND)> quit_;
};

// The idle footprint of a process: working set and private commit. Wine
// answers PrivateUsage with 0; its PagefileUsage is the commit charge, which
// equals PrivateUsage on Windows.
inline void PrintIdle(const char* who, const char* when, HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                            sizeof(memory)))
    return;
  const SIZE_T privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
  std::printf("idle %s %s %zu %zu\n", who, when, memory.WorkingSetSize / 1024, privateBytes / 1024);
}

// Wine closes a desktop shortly after its last window goes away; a program
// started in that moment could create no window. Hold it with a window.
inline HWND AnchorDesktop() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"Kestrel5Bench.Anchor";
  RegisterClassW(&windowClass);
  HWND window = nullptr;
  WaitUntil(
      [&] {
        window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                                 nullptr, windowClass.hInstance, nullptr);
        return window != nullptr;
      },
      kStartTimeout);
  return window;
}

}  // namespace kestrel::bench
