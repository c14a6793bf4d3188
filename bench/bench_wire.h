#pragma once
// What the benchmark driver and the move probe it loads into the program
// agree on: the trigger message, the report block in shared memory and the
// event that says the report is complete.

#include <windows.h>

#include <cstdint>

namespace kestrel::bench {

// Posted to the overlay window; wParam is the number of timed moves per pass.
inline constexpr const wchar_t* kRunMovesMessage = L"Kestrel5Bench.RunMoves";
inline constexpr const wchar_t* kMoveReportName = L"Kestrel5Bench.MoveReport";
inline constexpr const wchar_t* kMoveDoneEvent = L"Kestrel5Bench.MoveDone";

// The floor program's windows, found by the driver.
inline constexpr const char* kFloorHostClass = "Kestrel5Bench.FloorHost";
inline constexpr const char* kFloorOverlayClass = "Kestrel5Bench.FloorOverlay";

// The floor tray program's window and icon.
inline constexpr const char* kFloorTrayClass = "Kestrel5Bench.FloorTray";
inline constexpr UINT kFloorTrayIconId = 1;

inline constexpr int32_t kMaxMoves = 4000;

// The tick pass times one tick of the grey pulse (the colour timer's message)
// with the crosshair and the guide shown.
enum MovePass : int32_t { kCrosshairPass, kTickPass, kDragPass, kPassCount };

struct MoveReport {
  int32_t width;  // client size of the overlay that was driven
  int32_t height;
  int32_t count[kPassCount];
  // CPU time (user + kernel) of the overlay's thread over each pass, per
  // move, in microseconds: unlike the times below, it does not count the
  // waits for other processes that a busy machine stretches.
  float cpuMicros[kPassCount];
  // One figure per move, in microseconds: the whole move, and the part
  // before the paint (the move message handled, its bounds invalidated).
  float micros[kPassCount][kMaxMoves];
  float handledMicros[kPassCount][kMaxMoves];
};

}  // namespace kestrel::bench
