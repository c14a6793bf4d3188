#include "options/mdl_tab_control.h"

#include <commctrl.h>

#include <string>
#include <string_view>

#include "common/cp932.h"
#include "options/options_logic.h"

namespace kestrel {

HWND hTabControl = nullptr;

namespace {

WNDPROC PrevHostWndProc = nullptr;
ShowPageFunction g_showPage = nullptr;

// WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_TOOLTIPS | TCS_FORCELABELLEFT:
// one row of tabs drawn as tabs.
constexpr DWORD kTabControlStyle = 0x54004020;
static_assert(kTabControlStyle ==
              (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_TOOLTIPS | TCS_FORCELABELLEFT));

constexpr std::wstring_view kTabCaptions[options::kPageCount] = {L"操作一般(&R)", L"実行操作(&C)",
                                                                 L"時間(&T)", L"ホットキー(&H)"};

}  // namespace

void CreateTabControl(HWND picTabcontrol, HINSTANCE instance, ShowPageFunction showPage) {
  g_showPage = showPage;
  RECT area{};
  GetClientRect(picTabcontrol, &area);
  hTabControl =
      CreateWindowExA(0, WC_TABCONTROLA, nullptr, kTabControlStyle, 0, 0, area.right - area.left,
                      area.bottom - area.top, picTabcontrol, nullptr, instance, nullptr);
  SendMessageA(hTabControl, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               0);
  // One record for the four inserts; only the text changes.
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  for (int index = 0; index < options::kPageCount; ++index) {
    std::string caption = ToCp932(kTabCaptions[index]);
    item.pszText = caption.data();
    SendMessageA(hTabControl, TCM_INSERTITEMA, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
  }
  SubclassTabHost(picTabcontrol);
}

void LayOutTabControl(HWND picTabcontrol, HFONT font) {
  RECT area{}, now{};
  GetClientRect(picTabcontrol, &area);
  GetWindowRect(hTabControl, &now);
  const auto resize = [&] {
    SetWindowPos(hTabControl, nullptr, 0, 0, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  };
  const auto refont = [&] {
    SendMessageA(hTabControl, WM_SETFONT,
                 reinterpret_cast<WPARAM>(font ? font : GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  };
  // Larger first, smaller last: the tabs never run past the control in
  // between, which would leave it a scroll arrow for good.
  if (area.right - area.left >= now.right - now.left) {
    resize();
    refont();
  } else {
    refont();
    resize();
  }
}

void SubclassTabHost(HWND host) {
  PrevHostWndProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TabHostWindowProc)));
}

void RestoreTabHost(HWND host) {
  if (!PrevHostWndProc) return;
  SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PrevHostWndProc));
}

LRESULT CALLBACK TabHostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY && lParam) {
    // The host has no other child: any TCN_SELCHANGE is the tab control's.
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == static_cast<UINT>(TCN_SELCHANGE) && g_showPage) {
      g_showPage(static_cast<int>(SendMessageA(hTabControl, TCM_GETCURSEL, 0, 0)));
    }
  }
  return CallWindowProcA(PrevHostWndProc, window, message, wParam, lParam);
}

void TabShortcutKeyDown(int keyCode, int shiftState) {
  // TCM_SETCURFOCUS, not TCM_SETCURSEL: only the former notifies the host,
  // so the pages follow exactly as after a click.
  if (const auto tab = options::TabForShortcut(keyCode, shiftState))
    SendMessageA(hTabControl, TCM_SETCURFOCUS, static_cast<WPARAM>(*tab), 0);
}

void DestroyTabControl(HWND picTabcontrol) {
  DestroyWindow(hTabControl);
  RestoreTabHost(picTabcontrol);
  PrevHostWndProc = nullptr;
  g_showPage = nullptr;
}

}  // namespace kestrel
