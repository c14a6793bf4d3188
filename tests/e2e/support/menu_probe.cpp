// Loaded into the program by a WH_CALLWNDPROCRET hook: when a popup menu is
// prepared, reads it from inside the program's thread (other processes cannot
// read menus under Wine) and sends it as text to the driver's sink window.
//
// One line per item: depth tabs, then "-" for a separator, or
// "<E|D><C|.> <id> <caption>" with a submenu's items following one tab deeper.

#include <windows.h>

#include <string>

#include "e2e/support/menu_wire.h"

namespace {

void AppendMenuText(HMENU menu, int depth, std::wstring& out) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t caption[256] = L"";
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = caption;
    info.cch = static_cast<UINT>(std::size(caption) - 1);
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    out.append(static_cast<size_t>(depth), L'\t');
    if (info.fType & MFT_SEPARATOR) {
      out += L"-\n";
      continue;
    }
    out += (info.fState & MFS_DISABLED) ? L'D' : L'E';
    out += (info.fState & MFS_CHECKED) ? L'C' : L'.';
    out += L' ' + std::to_wstring(info.wID) + L' ' + caption + L'\n';
    if (info.hSubMenu) AppendMenuText(info.hSubMenu, depth + 1, out);
  }
}

void Report(HMENU menu) {
  HWND sink = FindWindowW(e2e::kMenuSinkClass, nullptr);
  if (!sink) return;
  std::wstring text;
  AppendMenuText(menu, 0, text);
  COPYDATASTRUCT data{};
  data.dwData = e2e::kMenuReportTag;
  data.cbData = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  data.lpData = text.data();
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(sink, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                      2000, &ignored);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuProbeHook(int code, WPARAM wParam,
                                                                LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    // Only the top popup: its submenus are read with it.
    if (message->message == WM_INITMENUPOPUP && HIWORD(message->lParam) == FALSE &&
        LOWORD(message->lParam) == 0) {
      Report(reinterpret_cast<HMENU>(message->wParam));
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
