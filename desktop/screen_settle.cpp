#include "desktop/screen_settle.h"

#include <vector>

#include "common/message_pump.h"
#include "common/win_handles.h"

namespace kestrel {
namespace {

// The whole wait never takes longer than this, however many windows answer
// slowly; a healthy desktop settles within a few milliseconds.
constexpr DWORD kSettleBoundMs = 300;
// One window's answer to one round trip.
constexpr UINT kRoundTripTimeoutMs = 100;
// Round trips to every window after which none owed a repaint: a window
// that has just begun to paint no longer owes it, the next trip proves it
// has finished, and the one after that that it went idle again, which is
// when the window system shows what it painted.
constexpr int kQuietRoundTrips = 3;
// However quickly every window answers, the wait lasts at least this long.
// Under Wine a window can redraw what our menu uncovered from its own image,
// without an update region that we could see, once it has read the window
// system's news and gone idle; quiet round trips alone can end before that
// and let the menu into the picture. 50 ms was seen to fall short now and
// then on a loaded machine when an input box closed after the menu.
constexpr DWORD kSettleFloorMs = 100;

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

void ReadOneScreenPixel() {
  const WindowDC screen(nullptr);
  if (screen.get()) GetPixel(screen.get(), 0, 0);
}

}  // namespace

void WaitForOtherWindowsToRepaint() {
  const DWORD start = GetTickCount();
  const auto spent = [start]() -> DWORD { return GetTickCount() - start; };
  const auto remaining = [&spent]() -> DWORD {
    const DWORD used = spent();
    return used >= kSettleBoundMs ? 0 : kSettleBoundMs - used;
  };
  DoEvents();
  // Reading the screen makes the window system carry out everything asked
  // of it so far, the removal of our menu included: only then are the
  // windows below told to repaint.
  ReadOneScreenPixel();
  Search search{GetCurrentProcessId(), {}};
  EnumWindows(&CollectOtherWindow, reinterpret_cast<LPARAM>(&search));
  // The desktop's own background lies below every window.
  search.windows.push_back(GetDesktopWindow());
  int quiet = 0;
  while (remaining() > 0) {
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
    quiet = pending ? 0 : quiet + 1;
    if (quiet >= kQuietRoundTrips && spent() >= kSettleFloorMs) {
      // What the others showed last may still wait at the window system
      // beside our next request; one more read lets it go first, so the
      // screen copy that follows sees it.
      ReadOneScreenPixel();
      return;
    }
    DoEvents();
  }
}

}  // namespace kestrel
