// Drives one benchmark round on the current desktop and prints its figures:
//   bench_driver PROGRAM FLOOR PROBE_DLL OPENS MOVES
// Opening: Windows + C is sent with SendInput, then the overlay window is
// polled until it is visible; the program and the floor are measured the
// same way, in alternating rounds. Moves: the probe DLL is hooked into the
// overlay's thread, the program's and then the floor's, and times pointer
// moves and pulse ticks on the open overlay there.
// Output lines: "open <who> <median ms> <p90 ms> <n> <failed>" and
// "move <who> <pass> <width>x<height> <median us> <p90 us> <n> <median us before the paint>
// <CPU us of the overlay's thread per move>",
// "idle <who> <start|options|after> <working set KiB> <private KiB>" (options:
// after the options dialog was opened and closed once).

#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_support.h"
#include "bench/bench_wire.h"
#include "common/open_trace.h"
#include "common/win_handles.h"
#include "overlay/frm_screen_cut.h"
#include "tray/frm_background.h"
#include "tray/tray_logic.h"

namespace {

using namespace kestrel::bench;
using kestrel::UniqueKernelHandle;
using kestrel::bench::MoveReport;

using kestrel::bench::kFloorHostClass;
using kestrel::bench::kFloorOverlayClass;
constexpr const char* kProgramBackgroundClass = kestrel::kBackgroundClassName;
constexpr const char* kProgramOverlayClass = kestrel::kScreenCutClassName;
constexpr UINT kQuitCommand = static_cast<UINT>(kestrel::MenuCommand::Quit);
constexpr UINT kOptionsCommand = static_cast<UINT>(kestrel::MenuCommand::Options);

constexpr auto kOpenTimeout = 5s;
constexpr auto kCloseTimeout = 5s;
constexpr auto kMoveTimeout = 120s;
constexpr int kWarmupOpens = 2;
constexpr int kRounds = 2;

// Key to visible window, in milliseconds; nothing when it never showed.
std::optional<double> TimeOpening(const char* overlayClass) {
  const auto start = Clock::now();
  kestrel::OpenTraceBegin("key");
  PressWindowsC();
  if (!WaitUntil([&] { return VisibleWindow(overlayClass) != nullptr; }, kOpenTimeout))
    return std::nullopt;
  kestrel::OpenTraceEnd("driver", "visible");
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool CloseOverlay(const char* overlayClass) {
  if (const HWND window = FindWindowA(overlayClass, nullptr)) PostMessageW(window, WM_CLOSE, 0, 0);
  const bool closed =
      WaitUntil([&] { return FindWindowA(overlayClass, nullptr) == nullptr; }, kCloseTimeout);
  std::this_thread::sleep_for(kSettle);
  return closed;
}

struct OpenFigures {
  std::vector<double> ms;
  int failed = 0;
};

void MeasureOpenings(const char* overlayClass, int count, OpenFigures& figures) {
  for (int i = 0; i < kWarmupOpens + count; ++i) {
    const std::optional<double> ms = TimeOpening(overlayClass);
    // The opening ends with its first paint, as a user would wait for it.
    std::this_thread::sleep_for(kSettle);
    if (!CloseOverlay(overlayClass)) std::fprintf(stderr, "bench: overlay did not close\n");
    if (i < kWarmupOpens) continue;
    if (ms)
      figures.ms.push_back(*ms);
    else
      ++figures.failed;
  }
}

// Opens an overlay, the program's or the floor's, and has the probe time
// moves on it.
bool MeasureMoves(const char* who, const char* overlayClass, const std::wstring& probePath,
                  int moves) {
  const UniqueKernelHandle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                                                      0, sizeof(MoveReport),
                                                      kestrel::bench::kMoveReportName));
  const UniqueKernelHandle done(CreateEventW(nullptr, TRUE, FALSE, kestrel::bench::kMoveDoneEvent));
  if (!mapping || !done) return false;
  auto* report = static_cast<MoveReport*>(
      MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, sizeof(MoveReport)));
  const HMODULE probe = LoadLibraryW(probePath.c_str());
  // Through void*: FARPROC and HOOKPROC are unrelated function types.
  const auto hookProc = probe ? reinterpret_cast<HOOKPROC>(
                                    reinterpret_cast<void*>(GetProcAddress(probe, "MoveProbeHook")))
                              : nullptr;
  bool ok = false;
  if (report && hookProc && TimeOpening(overlayClass)) {
    std::this_thread::sleep_for(kSettle);
    const HWND overlay = FindWindowA(overlayClass, nullptr);
    const DWORD thread = GetWindowThreadProcessId(overlay, nullptr);
    if (const HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, hookProc, probe, thread)) {
      PostMessageW(overlay, RegisterWindowMessageW(kestrel::bench::kRunMovesMessage),
                   static_cast<WPARAM>(moves), 0);
      const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(kMoveTimeout);
      ok = WaitForSingleObject(done.get(), static_cast<DWORD>(wait.count())) == WAIT_OBJECT_0;
      UnhookWindowsHookEx(hook);
    }
  }
  CloseOverlay(overlayClass);
  if (ok) {
    const char* names[] = {"crosshair", "tick", "drag"};
    for (int pass = 0; pass < kestrel::bench::kPassCount; ++pass) {
      const int n = report->count[pass];
      const std::vector<double> us(report->micros[pass], report->micros[pass] + n);
      const std::vector<double> handled(report->handledMicros[pass],
                                        report->handledMicros[pass] + n);
      std::printf("move %s %s %dx%d %.1f %.1f %d %.1f %.1f\n", who, names[pass], report->width,
                  report->height, Percentile(us, 0.5), Percentile(us, 0.9), n,
                  Percentile(handled, 0.5), report->cpuMicros[pass]);
    }
  }
  if (report) UnmapViewOfFile(report);
  if (probe) FreeLibrary(probe);
  return ok;
}

// A visible dialog window of the process, if any.
HWND DialogOf(DWORD processId) {
  struct Search {
    DWORD processId;
    HWND found;
  } search{processId, nullptr};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char name[16] = {};
        GetClassNameA(window, name, sizeof(name));
        if (owner != s->processId || !IsWindowVisible(window) || lstrcmpA(name, "#32770") != 0)
          return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Opens the options dialog from the tray menu's command and closes it again:
// what it loads stays for the rest of the run.
bool OpenAndCloseOptions(HANDLE process) {
  const HWND background = FindWindowA(kProgramBackgroundClass, nullptr);
  const DWORD processId = GetProcessId(process);
  if (!background) return false;
  PostMessageW(background, WM_COMMAND, kOptionsCommand, 0);
  HWND dialog = nullptr;
  if (!WaitUntil([&] { return (dialog = DialogOf(processId)) != nullptr; }, kOpenTimeout))
    return false;
  std::this_thread::sleep_for(kSettle);
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  const bool closed = WaitUntil([&] { return DialogOf(processId) == nullptr; }, kCloseTimeout);
  std::this_thread::sleep_for(kSettle);
  return closed;
}

void PrintOpen(const char* who, const OpenFigures& f) {
  std::printf("open %s %.1f %.1f %zu %d\n", who, Percentile(f.ms, 0.5), Percentile(f.ms, 0.9),
              f.ms.size(), f.failed);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: bench_driver PROGRAM FLOOR PROBE_DLL OPENS MOVES\n");
    return 2;
  }
  const std::wstring program = argv[1], floor = argv[2], probe = argv[3];
  const int opens = std::max(1, _wtoi(argv[4]));
  const int moves = std::clamp(_wtoi(argv[5]), 1, kestrel::bench::kMaxMoves);
  const HWND anchor = AnchorDesktop();
  if (!anchor) {
    std::fprintf(stderr, "bench: the desktop accepts no window\n");
    return 1;
  }
  std::printf("screen %dx%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));

  OpenFigures programOpens, floorOpens;
  bool movesDone = false;
  bool floorMovesDone = false;
  const int perRound = (opens + kRounds - 1) / kRounds;
  for (int round = 0; round < kRounds; ++round) {
    {
      const Started kestrel(program, kProgramBackgroundClass,
                            [](HWND window) { PostMessageW(window, WM_COMMAND, kQuitCommand, 0); });
      if (!kestrel.ready()) {
        std::fprintf(stderr, "bench: the program did not start\n");
        return 1;
      }
      std::this_thread::sleep_for(kSettle);
      if (round == 0) {
        PrintIdle("program", "start", kestrel.process());
        if (OpenAndCloseOptions(kestrel.process()))
          PrintIdle("program", "options", kestrel.process());
        else
          std::fprintf(stderr, "bench: the options dialog did not open and close\n");
      }
      MeasureOpenings(kProgramOverlayClass, perRound, programOpens);
      if (!movesDone) {
        movesDone = MeasureMoves("program", kProgramOverlayClass, probe, moves);
        if (!movesDone) std::fprintf(stderr, "bench: the move probe reported nothing\n");
      }
      if (round == 0) PrintIdle("program", "after", kestrel.process());
    }
    {
      const Started bare(floor, kFloorHostClass,
                         [](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); });
      if (!bare.ready()) {
        std::fprintf(stderr, "bench: the floor program did not start\n");
        return 1;
      }
      std::this_thread::sleep_for(kSettle);
      if (round == 0) PrintIdle("floor", "start", bare.process());
      MeasureOpenings(kFloorOverlayClass, perRound, floorOpens);
      if (!floorMovesDone) {
        floorMovesDone = MeasureMoves("floor", kFloorOverlayClass, probe, moves);
        if (!floorMovesDone)
          std::fprintf(stderr, "bench: the move probe reported nothing from the floor\n");
      }
      if (round == 0) PrintIdle("floor", "after", bare.process());
    }
  }
  PrintOpen("program", programOpens);
  PrintOpen("floor", floorOpens);
  DestroyWindow(anchor);
  return 0;
}
