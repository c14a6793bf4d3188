#include "desktop/screen_settle.h"

#include <vector>

#include "common/message_pump.h"

namespace kestrel {
namespace {

// The whole wait never takes longer than this, however many windows answer
// slowly; a healthy desktop settles within a few milliseconds.
constexpr DWORD kSettleBoundMs = 300;
// One window's answer to one round trip.
constexpr UINT kRoundTripTimeoutMs = 100;
// Round trips to each window: the first lets it take in the exposure and
// repaint, the second proves it has finished and flushed that paint.
constexpr int kRoundTrips = 2;

struct Search {
  DWORD ownProcess;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectOtherWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  if (!IsWindowVisible(window)) return TRUE;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->ownProcess) search->windows.push_back(window);
  return TRUE;
}

bool HasPendingRepaint(HWND window) { return GetUpdateRect(window, nullptr, FALSE) != FALSE; }

}  // namespace

void WaitForOtherWindowsToRepaint() {
  const DWORD start = GetTickCount();
  const auto remaining = [start]() -> DWORD {
    const DWORD spent = GetTickCount() - start;
    return spent >= kSettleBoundMs ? 0 : kSettleBoundMs - spent;
  };
  DoEvents();
  Search search{GetCurrentProcessId(), {}};
  EnumWindows(&CollectOtherWindow, reinterpret_cast<LPARAM>(&search));
  // The desktop's own background lies below every window.
  search.windows.push_back(GetDesktopWindow());
  for (int trip = 1; remaining() > 0; ++trip) {
    for (HWND window : search.windows) {
      const DWORD left = remaining();
      if (left == 0) return;
      DWORD_PTR answer = 0;
      // A message sent to another thread is handled only once that thread has
      // taken in its pending window-system events; a paint it still owes
      // comes before it goes idle again.
      SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                          left < kRoundTripTimeoutMs ? left : kRoundTripTimeoutMs, &answer);
    }
    bool pending = false;
    for (HWND window : search.windows) pending = pending || HasPendingRepaint(window);
    if (!pending && trip >= kRoundTrips) return;
    DoEvents();
  }
}

}  // namespace kestrel
