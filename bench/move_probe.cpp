// Loaded into the program's thread by a WH_GETMESSAGE hook. On the driver's
// trigger it drives the overlay window with pointer moves from inside that
// thread and times each one from the move message until WM_PAINT has put the
// result into the window: handled and painted, no input delivery in between.

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "bench/bench_wire.h"

namespace {

using kestrel::bench::MoveReport;

// A hand moves the pointer a few pixels per event.
constexpr int kStepX = 3;
constexpr int kStepY = 2;
constexpr int kWarmupMoves = 50;
// The overlay's colour timer, as it arrives from the system.
constexpr WPARAM kColourTimerId = 1;

// User + kernel time of this thread so far, in microseconds.
double ThreadCpuMicros() {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
  const auto micros = [](const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
           10.0;
  };
  return micros(kernel) + micros(user);
}

double NowMicros() {
  static const double ticksPerMicro = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1e6;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / ticksPerMicro;
}

// Moves within the middle half of the view, wrapping, so both lines (or the
// rectangle's edges) move on every event.
POINT PointOf(int i, int width, int height) {
  const int spanX = std::max(1, width / 2);
  const int spanY = std::max(1, height / 2);
  return {width / 4 + (i * kStepX) % spanX, height / 4 + (i * kStepY) % spanY};
}

struct MoveTime {
  float total;
  float handled;
};

MoveTime TimeMove(HWND window, WPARAM keys, POINT p) {
  const double start = NowMicros();
  SendMessageW(window, WM_MOUSEMOVE, keys, MAKELPARAM(p.x, p.y));
  const double handled = NowMicros();
  UpdateWindow(window);
  GdiFlush();
  return {static_cast<float>(NowMicros() - start), static_cast<float>(handled - start)};
}

void RunPass(HWND window, WPARAM keys, int moves, int width, int height, MoveReport& report,
             int pass) {
  for (int i = 0; i < kWarmupMoves; ++i) TimeMove(window, keys, PointOf(i, width, height));
  report.count[pass] = 0;
  const double cpu = ThreadCpuMicros();
  for (int i = 0; i < moves; ++i) {
    const MoveTime t = TimeMove(window, keys, PointOf(kWarmupMoves + i, width, height));
    report.micros[pass][i] = t.total;
    report.handledMicros[pass][i] = t.handled;
    report.count[pass] = i + 1;
  }
  report.cpuMicros[pass] = static_cast<float>((ThreadCpuMicros() - cpu) / std::max(1, moves));
}

MoveTime TimeTick(HWND window) {
  const double start = NowMicros();
  SendMessageW(window, WM_TIMER, kColourTimerId, 0);
  const double handled = NowMicros();
  UpdateWindow(window);
  GdiFlush();
  return {static_cast<float>(NowMicros() - start), static_cast<float>(handled - start)};
}

void RunTicks(HWND window, int ticks, MoveReport& report, int pass) {
  for (int i = 0; i < kWarmupMoves; ++i) TimeTick(window);
  report.count[pass] = 0;
  const double cpu = ThreadCpuMicros();
  for (int i = 0; i < ticks; ++i) {
    const MoveTime t = TimeTick(window);
    report.micros[pass][i] = t.total;
    report.handledMicros[pass][i] = t.handled;
    report.count[pass] = i + 1;
  }
  report.cpuMicros[pass] = static_cast<float>((ThreadCpuMicros() - cpu) / std::max(1, ticks));
}

void RunMoves(HWND window, int moves) {
  const HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, kestrel::bench::kMoveReportName);
  const HANDLE done = OpenEventW(EVENT_MODIFY_STATE, FALSE, kestrel::bench::kMoveDoneEvent);
  auto* report = mapping ? static_cast<MoveReport*>(
                               MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(MoveReport)))
                         : nullptr;
  if (report) {
    moves = std::clamp(moves, 0, kestrel::bench::kMaxMoves);
    RECT client{};
    GetClientRect(window, &client);
    report->width = client.right;
    report->height = client.bottom;
    UpdateWindow(window);  // the opening paint is not a move
    using kestrel::bench::kCrosshairPass;
    using kestrel::bench::kDragPass;
    using kestrel::bench::kTickPass;
    RunPass(window, 0, moves, client.right, client.bottom, *report, kCrosshairPass);
    RunTicks(window, moves, *report, kTickPass);
    // The drag: a held left button turns the crosshair into the rectangle.
    const POINT anchor{client.right / 8, client.bottom / 8};
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(anchor.x, anchor.y));
    RunPass(window, MK_LBUTTON, moves, client.right, client.bottom, *report, kDragPass);
    UnmapViewOfFile(report);
  }
  if (done) {
    SetEvent(done);
    CloseHandle(done);
  }
  if (mapping) CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    MoveProbeHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT runMessage = RegisterWindowMessageW(kestrel::bench::kRunMovesMessage);
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (message->message == runMessage) {
      message->message = WM_NULL;  // the program sees nothing of it
      RunMoves(message->hwnd, static_cast<int>(message->wParam));
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
