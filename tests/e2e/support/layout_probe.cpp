// Loaded into the program by a WH_CALLWNDPROC hook. On the driver's command
// it either reports a window's layout from inside the program (fonts are
// handles of the program's own) or changes the window's resolution the way
// Windows does when it reaches a monitor of another scale: it asks the window
// for its size at the new resolution (WM_GETDPISCALEDSIZE, the old size
// scaled when it does not answer) and sends WM_DPICHANGED with the
// rectangle at the window's place. Wine has one resolution for every
// monitor and sends neither message itself.
//
// Report: "client W H", then one line per descendant window:
// "class|id|left top right bottom|visible|font height weight face|text cx cy|
// client cx cy|text", the rectangle in the window's client coordinates, the
// text's extent in the child's font.

#include <windows.h>

#include <string>
#include <vector>

#include "e2e/support/layout_wire.h"

namespace {

constexpr UINT kGetDpiScaledSize = 0x02E4;

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

BOOL CALLBACK Collect(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

void Describe(HWND root, HWND child, std::wstring& out) {
  wchar_t className[64] = L"";
  GetClassNameW(child, className, 64);
  RECT at{};
  GetWindowRect(child, &at);
  MapWindowPoints(nullptr, root, reinterpret_cast<POINT*>(&at), 2);
  RECT client{};
  GetClientRect(child, &client);
  const auto font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
  LOGFONTW logFont{};
  if (font) GetObjectW(font, sizeof(logFont), &logFont);
  // The text as drawn: a mnemonic's "&" takes no room.
  const std::wstring text = TextOf(child);
  std::wstring drawn;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;  // "&x" draws x, "&&" draws &
    drawn += text[i];
  }
  SIZE extent{};
  if (const HDC dc = GetDC(child)) {
    const HGDIOBJ previous = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    GetTextExtentPoint32W(dc, drawn.c_str(), static_cast<int>(drawn.size()), &extent);
    SelectObject(dc, previous);
    ReleaseDC(child, dc);
  }
  out += std::wstring(className) + L"|" + std::to_wstring(GetDlgCtrlID(child)) + L"|" +
         std::to_wstring(at.left) + L" " + std::to_wstring(at.top) + L" " +
         std::to_wstring(at.right) + L" " + std::to_wstring(at.bottom) + L"|" +
         (IsWindowVisible(child) ? L"1" : L"0") + L"|" + std::to_wstring(logFont.lfHeight) + L" " +
         std::to_wstring(logFont.lfWeight) + L" " + logFont.lfFaceName + L"|" +
         std::to_wstring(extent.cx) + L" " + std::to_wstring(extent.cy) + L"|" +
         std::to_wstring(client.right) + L" " + std::to_wstring(client.bottom) + L"|" + text +
         L"\n";
}

void Report(HWND window) {
  HWND sink = FindWindowW(e2e::kLayoutSinkClass, nullptr);
  if (!sink) return;
  RECT client{};
  GetClientRect(window, &client);
  std::wstring text =
      L"client " + std::to_wstring(client.right) + L" " + std::to_wstring(client.bottom) + L"\n";
  std::vector<HWND> children;
  EnumChildWindows(window, &Collect, reinterpret_cast<LPARAM>(&children));
  for (HWND child : children) Describe(window, child, text);
  COPYDATASTRUCT data{};
  data.dwData = e2e::kLayoutReportTag;
  data.cbData = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  data.lpData = text.data();
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(sink, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000,
                      &ignored);
}

void ChangeDpi(HWND window, int from, int to) {
  RECT now{};
  GetWindowRect(window, &now);
  SIZE size{MulDiv(now.right - now.left, to, from), MulDiv(now.bottom - now.top, to, from)};
  SIZE asked = size;
  if (SendMessageW(window, kGetDpiScaledSize, static_cast<WPARAM>(to),
                   reinterpret_cast<LPARAM>(&asked)))
    size = asked;
  RECT suggested{now.left, now.top, now.left + size.cx, now.top + size.cy};
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    LayoutProbeHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT command = RegisterWindowMessageW(e2e::kLayoutCommandMessage);
  if (code == HC_ACTION) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (message->message == command && command != 0) {
      if (message->wParam == 0)
        Report(message->hwnd);
      else
        ChangeDpi(message->hwnd, static_cast<int>(message->lParam),
                  static_cast<int>(message->wParam));
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
