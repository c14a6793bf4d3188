#include "about/frm_version.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "about/version_text.h"
#include "common/dialog_template.h"
#include "common/win_handles.h"
#include "res/resource_ids.h"

namespace kestrel {
namespace {

constexpr wchar_t kCaption[] = L"Kestrel 5 のバージョン情報";
constexpr wchar_t kProductName[] = L"Kestrel 5";
constexpr wchar_t kCopyright[] = L"Copyright (C) Kestrel5 developers";
constexpr wchar_t kWebAddress[] = L"https://kestrel5.example.org/";
constexpr wchar_t kCloseCaption[] = L"閉じる(&C)";

constexpr wchar_t kDialogFontFace[] = L"ＭＳ Ｐゴシック";
constexpr WORD kDialogFontPoints = 9;
constexpr wchar_t kNameFontFace[] = L"ＭＳ Ｐゴシック";
constexpr int kNameFontPoints = 12;
constexpr wchar_t kCopyrightFontFace[] = L"Arial";
constexpr int kCopyrightFontHundredths = 825;  // 8.25 points

constexpr int kClientWidth = 402;
constexpr int kClientHeight = 106;
constexpr int kLogoSize = 64;

struct Layout {
  int x, y, width, height;
};
constexpr Layout kImage1{16, 8, kLogoSize, kLogoSize};
constexpr Layout kLblName{96, 8, 96, 16};
constexpr Layout kLblVersion{96, 32, 67, 12};
constexpr Layout kLblCopyright{96, 64, 163, 14};
constexpr Layout kText1{96, 80, 209, 18};
constexpr Layout kCmdClose{312, 72, 81, 25};

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

// What the open box owns; lives on the stack of ShowModal.
struct VersionBox {
  HINSTANCE instance;
  UniqueIcon logo;
  UniqueFont nameFont;
  UniqueFont copyrightFont;
};

// The running program's own version from its version resource.
std::wstring RunningVersionCaption() {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  if (length == 0 || length >= std::size(path)) return VersionCaption(0, 0, 0);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  std::vector<BYTE> data(size);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT infoLength = 0;
  if (size == 0 || !GetFileVersionInfoW(path, 0, size, data.data()) ||
      !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &infoLength) || !info ||
      infoLength < sizeof(VS_FIXEDFILEINFO))
    return VersionCaption(0, 0, 0);
  return VersionCaption(HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                        HIWORD(info->dwFileVersionLS));
}

HFONT CreatePointFont(HWND window, int hundredthsOfPoint, const wchar_t* face, BYTE charset,
                      int weight = FW_NORMAL) {
  const WindowDC dc(window);
  const int height = -MulDiv(hundredthsOfPoint, GetDeviceCaps(dc.get(), LOGPIXELSY), 7200);
  return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                 const Layout& at, int id, HFONT font, DWORD exStyle = 0) {
  HWND child = CreateWindowExW(
      exStyle, className, text, WS_CHILD | WS_VISIBLE | style, at.x, at.y, at.width, at.height,
      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
  if (child && font) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

// A label keeps its designed place but grows to its text, so that a
// substituted font that runs wider never cuts the text off.
HWND CreateLabel(HWND parent, const wchar_t* text, Layout at, HFONT font) {
  const WindowDC dc(parent);
  const HGDIOBJ previous = SelectObject(dc.get(), font);
  SIZE extent{};
  GetTextExtentPoint32W(dc.get(), text, static_cast<int>(wcslen(text)), &extent);
  SelectObject(dc.get(), previous);
  at.width = std::max(at.width, static_cast<int>(extent.cx));
  at.height = std::max(at.height, static_cast<int>(extent.cy));
  return CreateChild(parent, L"STATIC", text, SS_LEFTNOWORDWRAP | SS_NOPREFIX, at, 0, font);
}

void SizeAndCentre(HWND dialog) {
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  SetWindowPos(dialog, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form_Load(HWND dialog, VersionBox& box) {
  SetWindowTextW(dialog, kCaption);
  SizeAndCentre(dialog);
  const auto dialogFont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  box.nameFont.Reset(
      CreatePointFont(dialog, kNameFontPoints * 100, kNameFontFace, SHIFTJIS_CHARSET));
  box.copyrightFont.Reset(
      CreatePointFont(dialog, kCopyrightFontHundredths, kCopyrightFontFace, ANSI_CHARSET));
  box.logo.Reset(static_cast<HICON>(
      LoadImageW(box.instance, MAKEINTRESOURCEW(IDI_LOGO), IMAGE_ICON, kLogoSize, kLogoSize, 0)));

  HWND image1 =
      CreateChild(dialog, L"STATIC", nullptr, SS_ICON | SS_CENTERIMAGE, kImage1, 0, nullptr);
  SendMessageW(image1, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(box.logo.get()));
  SetWindowPos(image1, nullptr, kImage1.x, kImage1.y, kImage1.width, kImage1.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  CreateLabel(dialog, kProductName, kLblName, box.nameFont.get());
  CreateLabel(dialog, RunningVersionCaption().c_str(), kLblVersion, dialogFont);
  CreateLabel(dialog, kCopyright, kLblCopyright, box.copyrightFont.get());
  CreateChild(dialog, L"EDIT", kWebAddress, ES_LEFT | ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP,
              kText1, 0, dialogFont, WS_EX_CLIENTEDGE);
  HWND cmdClose = CreateChild(dialog, L"BUTTON", kCloseCaption, BS_DEFPUSHBUTTON | WS_TABSTOP,
                              kCmdClose, IDOK, dialogFont);
  SendMessageW(dialog, DM_SETDEFID, IDOK, 0);
  SetFocus(cmdClose);
}

INT_PTR CALLBACK VersionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      Form_Load(dialog, *reinterpret_cast<VersionBox*>(lParam));
      return FALSE;  // the focus is set on cmdClose
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
      SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
      return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    case WM_COMMAND:
      // cmdClose is the default (Enter, IDOK) and the cancel button (Esc, IDCANCEL).
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void frmVersion::ShowModal(HINSTANCE instance, HWND owner) {
  VersionBox box{instance, {}, {}, {}};
  const std::vector<WORD> dialogTemplate =
      EmptyDialogTemplate(kDialogStyle, kCaption, kDialogFontPoints, kDialogFontFace);
  DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()),
                          owner, &VersionProc, reinterpret_cast<LPARAM>(&box));
}

}  // namespace kestrel
