#include "desktop/mdl_hotkey.h"

#include <utility>

#include "common/cp932.h"
#include "common/open_trace.h"
#include "desktop/hotkey_logic.h"

namespace kestrel {
namespace {

// Module state: the one resident window the hotkey belongs to.
int32_t HotkeyId = 0;
WNDPROC PreviousWindowProc = nullptr;
HWND g_window = nullptr;
std::function<void()> g_doubleClick;
std::function<bool()> g_wanted;

}  // namespace

void InstallHotkeyWindowProc(HWND window, std::function<void()> doubleClick,
                             std::function<bool()> wanted) {
  g_window = window;
  g_doubleClick = std::move(doubleClick);
  g_wanted = std::move(wanted);
  PreviousWindowProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HotkeyWindowProc)));
}

void RegisterGlobalHotkey() {
  UnregisterGlobalHotkey();
  if (!g_window || !g_wanted || !g_wanted()) return;
  const ATOM atom = GlobalAddAtomA(ToCp932(kHotkeyAtomName).c_str());
  HotkeyId = HotkeyIdFromAtom(atom);
  RegisterHotKey(g_window, HotkeyId, kHotkeyModifiers, kHotkeyVirtualKey);
}

void UnregisterGlobalHotkey() {
  if (HotkeyId == 0) return;
  UnregisterHotKey(g_window, HotkeyId);
  GlobalDeleteAtom(static_cast<ATOM>(HotkeyId));
  HotkeyId = 0;
}

LRESULT CALLBACK HotkeyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HOTKEY && IsOurHotkey(wParam, HotkeyId) && g_doubleClick) {
    // A copy: the action may end in the window's destruction.
    const auto doubleClick = g_doubleClick;
    OpenTraceBegin("hotkey");
    doubleClick();
    OpenTraceStep("rearmed");
  }
  const LRESULT result = CallWindowProcA(PreviousWindowProc, window, message, wParam, lParam);
  if (message == WM_NCDESTROY && window == g_window) {
    g_window = nullptr;
    g_doubleClick = nullptr;
    g_wanted = nullptr;
  }
  return result;
}

}  // namespace kestrel
