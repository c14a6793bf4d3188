#include "tray/input_box.h"

#include <oleauto.h>

#include "tray/input_box_ids.h"

namespace kestrel {
namespace {

constexpr wchar_t kOkCaption[] = L"OK";
constexpr wchar_t kCancelCaption[] = L"キャンセル";

// What the open box shows and answers; lives on the stack of InputBox.
struct InputBoxState {
  const wchar_t* prompt;
  const wchar_t* title;
  const std::wstring& defaultText;
  std::wstring answer;
};

std::wstring ItemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
  return text;
}

void CentreOnScreen(HWND dialog) {
  RECT frame{};
  GetWindowRect(dialog, &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form_Load(HWND dialog, const InputBoxState& state) {
  SetWindowTextW(dialog, state.title);
  SetDlgItemTextW(dialog, IDC_INPUTBOX_PROMPT, state.prompt);
  SetDlgItemTextW(dialog, IDOK, kOkCaption);
  SetDlgItemTextW(dialog, IDCANCEL, kCancelCaption);
  SetDlgItemTextW(dialog, IDC_INPUTBOX_TEXT, state.defaultText.c_str());
  CentreOnScreen(dialog);
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
      Form_Load(dialog, *reinterpret_cast<const InputBoxState*>(lParam));
      return FALSE;  // the focus is set on the text field
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
  InputBoxState state{prompt, title, defaultText, {}};
  const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_INPUTBOX), owner,
                                         &InputBoxProc, reinterpret_cast<LPARAM>(&state));
  return result == IDOK ? state.answer : std::wstring();
}

std::optional<int32_t> CountdownLengthFromText(const std::wstring& text) {
  std::wstring buffer = text;  // the coercion takes a writable string
  SHORT value = 0;
  if (FAILED(VarI2FromStr(buffer.data(), LOCALE_USER_DEFAULT, 0, &value))) return std::nullopt;
  return static_cast<int32_t>(value);
}

}  // namespace kestrel
