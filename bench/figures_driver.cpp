// Drives the figures a user compares capture tools by, each next to a floor
// program, and prints them:
//   figures_driver PROGRAM FLOOR_OVERLAY FLOOR_TRAY CUTS STARTS
// Hand-over: on the open overlay the left button is pressed, the pointer
// moved and the button released with SendInput; the time runs from the
// release until this process, another one, can read the picture (CF_DIB) on
// the clipboard. The floor program puts a bitmap of the same size there.
// Cold start: from CreateProcess until the shell knows the tray icon (only a
// known icon can be modified). The two are measured in alternating rounds.
// Output lines: "handover <who> <median ms> <p90 ms> <n> <failed>",
// "coldstart <who> <median ms> <p90 ms> <n> <failed>",
// "idle <who> <start|cut10> <working set KiB> <private KiB>".

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <optional>

#include "bench/bench_support.h"
#include "bench/bench_wire.h"
#include "overlay/frm_screen_cut.h"
#include "tray/frm_background.h"
#include "tray/tray_logic.h"

namespace {

using namespace kestrel::bench;
using kestrel::UniqueKernelHandle;

constexpr const char* kProgramBackgroundClass = kestrel::kBackgroundClassName;
constexpr const char* kProgramTrayClass = kestrel::kTrayIconClassName;
constexpr const char* kProgramOverlayClass = kestrel::kScreenCutClassName;
constexpr UINT kQuitCommand = static_cast<UINT>(kestrel::MenuCommand::Quit);
constexpr UINT kProgramTrayIconId = 0;

constexpr auto kStepTimeout = 10s;
// How long a moved cursor must stay before a button is pressed on it.
constexpr auto kSteadyPointer = 150ms;
constexpr int kRounds = 2;
constexpr int kWarmup = 1;
// The cut: the same rectangle for the program and the floor.
constexpr POINT kFrom{200, 150};
constexpr POINT kTo{840, 630};

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Figures {
  std::vector<double> ms;
  int failed = 0;
  void Add(const std::optional<double>& ms_) {
    if (ms_)
      ms.push_back(*ms_);
    else
      ++failed;
  }
};

void Print(const char* what, const char* who, const Figures& f) {
  std::printf("%s %s %.1f %.1f %zu %d\n", what, who, Percentile(f.ms, 0.5), Percentile(f.ms, 0.9),
              f.ms.size(), f.failed);
  std::fflush(stdout);
}

// A mouse event at a point of the screen: a button event that carries its
// position lands there even when Wine has just warped the cursor elsewhere.
void Mouse(POINT at, DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = MulDiv(at.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
  in.mi.dy = MulDiv(at.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
  in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof(in));
}

// Under Wine on Xvfb a move may be lost, or undone a few milliseconds later
// when Wine warps the cursor back: sent again until the cursor stays there.
// A button pressed on a cursor that is then warped back lands elsewhere, and
// the cut ends where it began.
bool MoveTo(POINT target) {
  const auto there = [&] {
    POINT at{};
    return GetCursorPos(&at) && at.x == target.x && at.y == target.y;
  };
  for (int attempt = 0; attempt < 20; ++attempt) {
    Mouse(target, 0);
    if (!WaitUntil(there, 50ms)) continue;
    std::this_thread::sleep_for(kSteadyPointer);
    if (there()) return true;
  }
  return false;
}

// True once this process, another one than the cutter, can read a picture.
// The clipboard is only opened once a picture is announced: opening it
// earlier could take it from the program handing the picture over.
bool PictureReadable() {
  if (!IsClipboardFormatAvailable(CF_DIB) || !OpenClipboard(nullptr)) return false;
  bool readable = false;
  if (const HANDLE data = GetClipboardData(CF_DIB)) {
    if (GlobalLock(data)) {
      readable = true;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return readable;
}

bool EmptyTheClipboard() {
  if (!OpenClipboard(nullptr)) return false;
  const bool emptied = EmptyClipboard() != FALSE;
  return CloseClipboard() && emptied;
}

std::optional<double> Failed(const char* who, const char* why) {
  std::fprintf(stderr, "bench: %s: %s\n", who, why);
  return std::nullopt;
}

// Why no picture could be read after a release: the overlay did not take the
// release as the end of a cut, nothing was written, or what was written could
// not be read.
const char* WhyNotReadable(DWORD sequenceBefore, bool overlayClosed) {
  if (!overlayClosed) return "no picture: the overlay stayed open after the release";
  if (GetClipboardSequenceNumber() == sequenceBefore)
    return "no picture: nothing written (the clipboard could not be opened, or no cut)";
  if (!IsClipboardFormatAvailable(CF_DIB))
    return "no picture: the clipboard was emptied, the cut was empty (press and release met)";
  if (GetOpenClipboardWindow()) return "no picture: the clipboard stayed open";
  return "no picture: CF_DIB announced but not readable";
}

std::optional<double> TimeHandOver(const char* who, const char* overlayClass) {
  // Emptied well before the cut, so that nothing else is busy with the
  // clipboard when the picture is handed over.
  if (!EmptyTheClipboard()) return Failed(who, "the clipboard could not be emptied");
  std::this_thread::sleep_for(kSettle);
  PressWindowsC();
  if (!WaitUntil([&] { return VisibleWindow(overlayClass) != nullptr; }, kStepTimeout))
    return Failed(who, "no overlay for the hand-over");
  std::this_thread::sleep_for(kSettle);
  if (!MoveTo(kFrom)) return Failed(who, "the pointer did not reach the start of the cut");
  Mouse(kFrom, MOUSEEVENTF_LEFTDOWN);
  if (!MoveTo({(kFrom.x + kTo.x) / 2, (kFrom.y + kTo.y) / 2}) || !MoveTo(kTo)) {
    Mouse(kFrom, MOUSEEVENTF_LEFTUP);
    return Failed(who, "the pointer did not reach the end of the cut");
  }
  std::this_thread::sleep_for(50ms);
  const DWORD sequence = GetClipboardSequenceNumber();
  const auto start = Clock::now();
  Mouse(kTo, MOUSEEVENTF_LEFTUP);
  const bool read = WaitUntil(&PictureReadable, kStepTimeout);
  const double ms = MsSince(start);
  const bool closed =
      WaitUntil([&] { return FindWindowA(overlayClass, nullptr) == nullptr; }, kStepTimeout);
  std::this_thread::sleep_for(kSettle);
  if (!read) return Failed(who, WhyNotReadable(sequence, closed));
  return ms;
}

void MeasureHandOvers(const char* who, const char* overlayClass, HANDLE process, int count,
                      bool printMemory, Figures& figures) {
  for (int i = 0; i < kWarmup + count; ++i) {
    const auto ms = TimeHandOver(who, overlayClass);
    if (i >= kWarmup) figures.Add(ms);
    if (printMemory && i + 1 == 10) PrintIdle(who, "cut10", process);
  }
}

// The shell knows the icon: only a known icon can be modified.
bool IconShown(HWND window, UINT id) {
  NOTIFYICONDATAW probe{};
  probe.cbSize = sizeof(probe);
  probe.hWnd = window;
  probe.uID = id;
  return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

// CreateProcess to the icon known to the shell, in ms; the program is then
// asked to quit.
std::optional<double> TimeColdStart(const char* who, const std::wstring& path,
                                    const char* windowClass, const char* iconChild, UINT iconId,
                                    UINT quitMessage, WPARAM quitParam) {
  std::wstring command = L"\"" + path + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  const auto start = Clock::now();
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info))
    return Failed(who, "the program could not be started");
  const UniqueKernelHandle process(info.hProcess);
  CloseHandle(info.hThread);
  HWND top = nullptr;
  const bool shown = WaitUntil(
      [&] {
        top = FindWindowA(windowClass, nullptr);
        if (!top) return false;
        const HWND icon = iconChild ? FindWindowExA(top, nullptr, iconChild, nullptr) : top;
        return icon && IconShown(icon, iconId);
      },
      kStepTimeout);
  const double ms = MsSince(start);
  if (top) PostMessageW(top, quitMessage, quitParam, 0);
  if (WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0)
    TerminateProcess(process.get(), 99);
  std::this_thread::sleep_for(kSettle);
  if (!shown) return Failed(who, top ? "no tray icon known to the shell" : "no window");
  return ms;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: figures_driver PROGRAM FLOOR_OVERLAY FLOOR_TRAY CUTS STARTS\n");
    return 2;
  }
  const std::wstring program = argv[1], floorOverlay = argv[2], floorTray = argv[3];
  const int cuts = std::max(10, _wtoi(argv[4]));
  const int starts = std::max(1, _wtoi(argv[5]));
  const HWND anchor = AnchorDesktop();
  if (!anchor) {
    std::fprintf(stderr, "bench: the desktop accepts no window\n");
    return 1;
  }

  Figures programHandOver, floorHandOver, programStart, floorStart;
  const int cutsPerRound = (cuts + kRounds - 1) / kRounds;
  const int startsPerRound = (starts + kRounds - 1) / kRounds;
  for (int round = 0; round < kRounds; ++round) {
    {
      const Started kestrel(program, kProgramBackgroundClass,
                            [](HWND window) { PostMessageW(window, WM_COMMAND, kQuitCommand, 0); });
      if (!kestrel.ready()) {
        std::fprintf(stderr, "bench: the program did not start\n");
        return 1;
      }
      std::this_thread::sleep_for(kSettle);
      if (round == 0) PrintIdle("program", "start", kestrel.process());
      MeasureHandOvers("program", kProgramOverlayClass, kestrel.process(),
                       round == 0 ? std::max(cutsPerRound, 10) : cutsPerRound, round == 0,
                       programHandOver);
    }
    {
      const Started bare(floorOverlay, kFloorHostClass,
                         [](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); });
      if (!bare.ready()) {
        std::fprintf(stderr, "bench: the floor program did not start\n");
        return 1;
      }
      std::this_thread::sleep_for(kSettle);
      if (round == 0) PrintIdle("floor", "start", bare.process());
      MeasureHandOvers("floor", kFloorOverlayClass, bare.process(),
                       round == 0 ? std::max(cutsPerRound, 10) : cutsPerRound, round == 0,
                       floorHandOver);
    }
    for (int i = 0; i < startsPerRound + (round == 0 ? kWarmup : 0); ++i) {
      const bool counted = round > 0 || i >= kWarmup;
      const auto p = TimeColdStart("program", program, kProgramBackgroundClass, kProgramTrayClass,
                                   kProgramTrayIconId, WM_COMMAND, kQuitCommand);
      const auto f = TimeColdStart("floor", floorTray, kFloorTrayClass, nullptr, kFloorTrayIconId,
                                   WM_CLOSE, 0);
      if (counted) {
        programStart.Add(p);
        floorStart.Add(f);
      }
    }
  }
  Print("handover", "program", programHandOver);
  Print("handover", "floor", floorHandOver);
  Print("coldstart", "program", programStart);
  Print("coldstart", "floor", floorStart);
  DestroyWindow(anchor);
  return 0;
}
