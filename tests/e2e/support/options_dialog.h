#pragma once
// The options dialog as a test sees it from outside the program: its
// controls by identifier, the tab control's items read from the program's
// memory, and text typed as a user types it.

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "options/options_layout.h"

namespace e2e {

using kestrel::options::Ctl;

inline constexpr const wchar_t* kOptionsCaption = L"オプション";

// The open options dialog of a process, if any.
HWND FindOptionsDialog(DWORD processId);
// A visible top-level dialog (#32770) of the process other than the
// options dialog itself: a message box or the file dialog.
HWND FindOtherDialog(DWORD processId, const wchar_t* caption = nullptr);

class OptionsDialog {
 public:
  OptionsDialog(HWND dialog, HANDLE process) : dialog_(dialog), process_(process) {}
  HWND window() const { return dialog_; }
  HWND Item(Ctl control) const;
  bool Checked(Ctl control) const;
  bool Enabled(Ctl control) const { return IsWindowEnabled(Item(control)) != FALSE; }
  bool Visible(Ctl control) const { return IsWindowVisible(Item(control)) != FALSE; }
  std::wstring Text(Ctl control) const;
  // The one page shown, or -1 when not exactly one is.
  int VisiblePage() const;
  HWND TabControl() const;
  // The tab control's items: captions and screen rectangles.
  std::vector<std::wstring> TabCaptions() const;
  std::optional<RECT> TabRect(int index) const;
  // A control's rectangle in the dialog's client coordinates.
  RECT ClientRectOf(HWND control) const;

  // Real input: a left click in the middle of a control, or of a tab.
  bool Click(Ctl control) const;
  bool ClickTab(int index) const;

 private:
  HWND dialog_;
  HANDLE process_;
};

// Checks the dialog's outer size and every control's place against the
// twips of the layout at a resolution (labels may only grow to the right and down).
void ExpectLayout(const OptionsDialog& dialog, int dpi);

// Every descendant window of a window, depth first.
std::vector<HWND> Descendants(HWND window);
// A window's text through WM_GETTEXT, which reaches into other processes.
std::wstring GetText(HWND window);

namespace input {
// Types text as key strokes of its characters.
void Type(const std::wstring& text);
// Holds Alt (and optionally Shift or Ctrl) through SendInput around a key.
void KeyWith(std::initializer_list<WORD> modifiers, WORD vk);
}  // namespace input

}  // namespace e2e
