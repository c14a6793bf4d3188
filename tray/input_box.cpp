#include "tray/input_box.h"

#include <oleauto.h>

#include <iterator>
#include <utility>
#include <vector>

#include "common/dialog_template.h"
#include "common/dpi_dialog.h"
#include "common/twips.h"
#include "common/win_handles.h"
#include "tray/input_box_ids.h"

namespace kestrel {
namespace {

constexpr wchar_t kOkCaption[] = L"OK";
constexpr wchar_t kCancelCaption[] = L"キャンセル";

constexpr wchar_t kFontFace[] = L"MS UI Gothic";
constexpr int kFontHundredths = 900;  // 9 points

constexpr DWORD kDialogStyle =
    DS_MODALFRAME | DS_SETFOREGROUND | WS_POPUP | WS_CAPTION | WS_SYSMENU;

// The design in twips (440 x 113 pixels at 96 dpi): the prompt above the
// text field, OK and Cancel on its right.
constexpr int kClientWidthTwips = 6600;
constexpr int kClientHeightTwips = 1700;

struct ChildPlace {
  int id;
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
  TwipsBox at;
};
constexpr ChildPlace kChildren[] = {
    {IDC_INPUTBOX_PROMPT, L"STATIC", SS_LEFT | SS_NOPREFIX, 0, {195, 180, 4620, 855}},
    {IDOK, L"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0, {5040, 150, 1380, 345}},
    {IDCANCEL, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 0, {5040, 600, 1380, 345}},
    {IDC_INPUTBOX_TEXT,
     L"EDIT",
     ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP,
     WS_EX_CLIENTEDGE,
     {105, 1080, 5190, 300}},
};

// What the open box shows and answers; lives on the stack of InputBox.
class InputBoxState : public DpiDialog {
 public:
  InputBoxState(const wchar_t* prompt, const wchar_t* title, const std::wstring& defaultText)
      : prompt(prompt), title(title), defaultText(defaultText) {}

  const wchar_t* prompt;
  const wchar_t* title;
  const std::wstring& defaultText;
  std::wstring answer;

  void CreateChildren(HWND dialog) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    for (const ChildPlace& entry : kChildren)
      CreateWindowExW(entry.exStyle, entry.className, nullptr, WS_CHILD | WS_VISIBLE | entry.style,
                      0, 0, 0, 0, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)),
                      instance, nullptr);
    dialog_ = dialog;
    OpenDpiDialog(dialog);
  }

 private:
  DesignSize SizeAt(int dpi) const override {
    return {true, {TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi)}};
  }

  void LayOut(int dpi) override {
    // The children take the new font before the old one goes.
    UniqueFont font(CreatePointFont(kFontHundredths, dpi, kFontFace, SHIFTJIS_CHARSET));
    for (const ChildPlace& entry : kChildren) {
      const HWND child = GetDlgItem(dialog_, entry.id);
      const PixelBox at = TwipsToPixels(entry.at, dpi);
      SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
      SetWindowPos(child, nullptr, at.left, at.top, at.width, at.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    font_ = std::move(font);
  }

  HWND dialog_ = nullptr;
  UniqueFont font_;
};

std::wstring ItemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
  return text;
}

void Form_Load(HWND dialog, InputBoxState& state) {
  SetWindowTextW(dialog, state.title);
  state.CreateChildren(dialog);
  SetDlgItemTextW(dialog, IDC_INPUTBOX_PROMPT, state.prompt);
  SetDlgItemTextW(dialog, IDOK, kOkCaption);
  SetDlgItemTextW(dialog, IDCANCEL, kCancelCaption);
  SetDlgItemTextW(dialog, IDC_INPUTBOX_TEXT, state.defaultText.c_str());
  // Opened from the tray, the box must take the keyboard at once, even when
  // another program held the foreground.
  SetForegroundWindow(dialog);
  HWND text = GetDlgItem(dialog, IDC_INPUTBOX_TEXT);
  SendMessageW(text, EM_SETSEL, 0, -1);
  SetFocus(text);
}

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      Form_Load(dialog, *reinterpret_cast<InputBoxState*>(lParam));
      return FALSE;  // the focus is set on the text field
    case kGetDpiScaledSizeMessage:
    case WM_DPICHANGED:
      if (auto* state = reinterpret_cast<InputBoxState*>(GetWindowLongPtrW(dialog, DWLP_USER)))
        return state->HandleDpiMessage(message, wParam, lParam) ? TRUE : FALSE;
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        auto* state = reinterpret_cast<InputBoxState*>(GetWindowLongPtrW(dialog, DWLP_USER));
        if (state) state->answer = ItemText(dialog, IDC_INPUTBOX_TEXT);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {  // also Esc and the close box
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

std::wstring InputBox(HINSTANCE instance, HWND owner, const wchar_t* prompt, const wchar_t* title,
                      const std::wstring& defaultText) {
  InputBoxState state(prompt, title, defaultText);
  const std::vector<WORD> dialogTemplate = EmptyDialogTemplate(kDialogStyle, title);
  const INT_PTR result =
      DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()),
                              owner, &InputBoxProc, reinterpret_cast<LPARAM>(&state));
  return result == IDOK ? state.answer : std::wstring();
}

std::optional<int32_t> CountdownLengthFromText(const std::wstring& text) {
  std::wstring buffer = text;  // the coercion takes a writable string
  SHORT value = 0;
  if (FAILED(VarI2FromStr(buffer.data(), LOCALE_USER_DEFAULT, 0, &value))) return std::nullopt;
  return static_cast<int32_t>(value);
}

}  // namespace kestrel
