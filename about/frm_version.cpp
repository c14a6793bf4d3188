#include "about/frm_version.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "about/version_text.h"
#include "common/dialog_template.h"
#include "common/dpi_dialog.h"
#include "common/twips.h"
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
constexpr int kDialogFontHundredths = 900;  // 9 points
constexpr wchar_t kNameFontFace[] = L"ＭＳ Ｐゴシック";
constexpr int kNameFontHundredths = 1200;  // 12 points
constexpr wchar_t kCopyrightFontFace[] = L"Arial";
constexpr int kCopyrightFontHundredths = 825;  // 8.25 points

// The design in twips (402 x 106 pixels at 96 dpi, 15 twips a pixel).
constexpr int kClientWidthTwips = 6030;
constexpr int kClientHeightTwips = 1590;

enum class Child { Image1, lblName, lblVersion, lblCopyright, Text1, cmdClose };
struct ChildPlace {
  Child id;
  TwipsBox at;
};
constexpr ChildPlace kChildren[] = {
    {Child::Image1, {240, 120, 960, 960}},       {Child::lblName, {1440, 120, 1440, 240}},
    {Child::lblVersion, {1440, 480, 1005, 180}}, {Child::lblCopyright, {1440, 960, 2445, 210}},
    {Child::Text1, {1440, 1200, 3135, 270}},     {Child::cmdClose, {4680, 1080, 1215, 375}},
};
constexpr size_t kChildCount = std::size(kChildren);

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

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

HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id,
                 DWORD exStyle = 0) {
  return CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                         nullptr);
}

// The open box: its children, and the fonts and logo of its resolution.
class VersionBox : public DpiDialog {
 public:
  explicit VersionBox(HINSTANCE instance) : instance_(instance) {}

  void Form_Load(HWND dialog) {
    SetWindowTextW(dialog, kCaption);
    child(Child::Image1) = CreateChild(dialog, L"STATIC", nullptr, SS_ICON | SS_CENTERIMAGE, 0);
    child(Child::lblName) = CreateLabel(dialog, kProductName);
    child(Child::lblVersion) = CreateLabel(dialog, RunningVersionCaption().c_str());
    child(Child::lblCopyright) = CreateLabel(dialog, kCopyright);
    child(Child::Text1) =
        CreateChild(dialog, L"EDIT", kWebAddress,
                    ES_LEFT | ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP, 0, WS_EX_CLIENTEDGE);
    child(Child::cmdClose) =
        CreateChild(dialog, L"BUTTON", kCloseCaption, BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK);
    OpenDpiDialog(dialog);
    SendMessageW(dialog, DM_SETDEFID, IDOK, 0);
    SetFocus(child(Child::cmdClose));
  }

 private:
  static HWND CreateLabel(HWND dialog, const wchar_t* text) {
    return CreateChild(dialog, L"STATIC", text, SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0);
  }

  HWND& child(Child id) { return children_[static_cast<size_t>(id)]; }

  enum Font { kDialogFont, kNameFont, kCopyrightFont, kFontCount };

  static HFONT FontOf(Child id, const UniqueFont (&fonts)[kFontCount]) {
    switch (id) {
      case Child::lblName:
        return fonts[kNameFont].get();
      case Child::lblCopyright:
        return fonts[kCopyrightFont].get();
      case Child::Image1:
        return nullptr;
      default:
        return fonts[kDialogFont].get();
    }
  }

  DesignSize SizeAt(int dpi) const override {
    return {true, {TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi)}};
  }

  void LayOut(int dpi) override {
    // The children take the new fonts and logo before the old ones go.
    UniqueFont fonts[kFontCount] = {
        UniqueFont(CreatePointFont(kDialogFontHundredths, dpi, kDialogFontFace, SHIFTJIS_CHARSET)),
        UniqueFont(CreatePointFont(kNameFontHundredths, dpi, kNameFontFace, SHIFTJIS_CHARSET)),
        UniqueFont(
            CreatePointFont(kCopyrightFontHundredths, dpi, kCopyrightFontFace, ANSI_CHARSET))};
    UniqueIcon logo;
    for (const ChildPlace& entry : kChildren) {
      const HWND window = child(entry.id);
      PixelBox at = TwipsToPixels(entry.at, dpi);
      if (entry.id == Child::Image1) {
        // The logo drawn at the size of its place, not stretched afterwards.
        logo.Reset(static_cast<HICON>(
            LoadImageW(instance_, MAKEINTRESOURCEW(IDI_LOGO), IMAGE_ICON, at.width, at.height, 0)));
        SendMessageW(window, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(logo.get()));
      } else {
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(entry.id, fonts)), FALSE);
      }
      if (entry.id == Child::lblName || entry.id == Child::lblVersion ||
          entry.id == Child::lblCopyright)
        GrowToText(window, FontOf(entry.id, fonts), at);
      SetWindowPos(window, nullptr, at.left, at.top, at.width, at.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (int i = 0; i < kFontCount; ++i) fonts_[i] = std::move(fonts[i]);
    logo_ = std::move(logo);
  }

  // A label keeps its designed place but grows to its text, so that a
  // substituted font that runs wider never cuts the text off.
  static void GrowToText(HWND label, HFONT font, PixelBox& at) {
    const int length = GetWindowTextLengthW(label);
    std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(
        std::max(GetWindowTextW(label, text.data(), static_cast<int>(text.size())), 0)));
    const WindowDC dc(label);
    const HGDIOBJ previous = SelectObject(dc.get(), font);
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc.get(), previous);
    at.width = std::max(at.width, static_cast<int>(extent.cx));
    at.height = std::max(at.height, static_cast<int>(extent.cy));
  }

  HINSTANCE instance_;
  HWND children_[kChildCount] = {};
  UniqueIcon logo_;
  UniqueFont fonts_[kFontCount];
};

INT_PTR CALLBACK VersionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<VersionBox*>(lParam)->Form_Load(dialog);
    return FALSE;  // the focus is set on cmdClose
  }
  auto* box = reinterpret_cast<VersionBox*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (box && box->HandleDpiMessage(message, wParam, lParam)) return TRUE;
  switch (message) {
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
  VersionBox box(instance);
  const std::vector<WORD> dialogTemplate = EmptyDialogTemplate(kDialogStyle, kCaption);
  DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()),
                          owner, &VersionProc, reinterpret_cast<LPARAM>(&box));
}

}  // namespace kestrel
