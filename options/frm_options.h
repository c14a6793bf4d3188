#pragma once
// frmOptions: the modal options dialog. Its four pages are switched by the
// native tab control of mdlTabControl; its controls are built from the table
// of options_layout.h and edit the option objects of mdlKestrel.

#include <windows.h>

#include <map>
#include <string>

#include "common/dpi_dialog.h"
#include "common/win_handles.h"
#include "options/options_layout.h"

namespace kestrel {

class frmOptions : public DpiDialog {
 public:
  // Shows the dialog and returns when it is closed (OK, Cancel, Esc, the
  // close box). The owner is disabled meanwhile.
  static void ShowModal(HINSTANCE instance, HWND owner);
  // Brings an open dialog to the front; false when none is open.
  static bool BringToFront();

  frmOptions(const frmOptions&) = delete;
  frmOptions& operator=(const frmOptions&) = delete;

 private:
  using Ctl = options::Ctl;

  frmOptions(HINSTANCE instance, HWND owner) : instance_(instance), owner_(owner) {}

  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static void ShowPage(int selected);

  // Creates every control's window; LayOut places them.
  void CreateControls();
  // A control's place at a resolution, a label grown to its text in `font`.
  options::PixelRect Place(const options::ControlSpec& c, int dpi, HFONT font) const;
  DesignSize SizeAt(int dpi) const override;
  void LayOut(int dpi) override;
  void Form_Load();
  void Form_Unload();
  // The dialog's key preview: true when the message was consumed.
  bool PreviewKey(const MSG& message);
  void Form_KeyDown(int keyCode, int shiftState);
  void MoveFocus(bool forward);
  void OnCommand(Ctl control, WORD code);

  void LoadOptionsToControls();
  void RunEnablingRules(Ctl source);
  void MarkChanged();
  void btnCountWave_Click();
  void btnVModeSoft_Click();
  void Browse(Ctl box, const wchar_t* filter);
  void cmdApp_Click();
  void cmdOK_Click();
  void cmdCancel_Click();
  void Close() { closed_ = true; }

  HWND Item(Ctl control) const;
  bool Checked(Ctl control) const;
  void Select(Ctl optionButton);
  void SetChecked(Ctl checkBox, bool checked);
  std::wstring Text(Ctl control) const;
  void SetText(Ctl control, const std::wstring& text);

  HINSTANCE instance_;
  HWND owner_;
  HWND dialog_ = nullptr;
  std::map<Ctl, HWND> items_;
  UniqueFont font_;
  UniqueFont tabFont_;  // null: the default GUI font itself
  bool tabControlCreated_ = false;
  UniqueIcon bigIcon_;
  UniqueIcon smallIcon_;
  // The shared file dialog's file name: the last file chosen with either
  // browse button during this opening.
  std::wstring fileName_;
  bool closed_ = false;
};

}  // namespace kestrel
