#pragma once
// frmBackground: the hidden resident window. It owns the tray icon and its
// callback window picTrayIcon, the two popup menus, the double-click action
// and the menu commands; its unload is the program's shutdown.

#include <windows.h>

#include <cstdint>
#include <optional>

#include "common/win_handles.h"
#include "tray/countdown_logic.h"
#include "tray/popup_menus.h"

namespace kestrel {

// Class names by which a test driver finds the windows; picTrayIcon is the
// only child of class kTrayIconClassName of the resident window.
inline constexpr const char* kBackgroundClassName = "Kestrel5.frmBackground";
inline constexpr const char* kTrayIconClassName = "Kestrel5.picTrayIcon";

class frmBackground {
 public:
  explicit frmBackground(HINSTANCE instance);
  ~frmBackground();
  frmBackground(const frmBackground&) = delete;
  frmBackground& operator=(const frmBackground&) = delete;

  // Creates the hidden window and its children and runs the load handler.
  // False when the window cannot be created (GetLastError says why).
  bool Load();

  // The double-click action, also run by the global hotkey.
  void DoubleClick();

 private:
  static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK TrayIconProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleFormMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void Form_Load();
  void Form_Unload();
  void Unload();
  void CheckWindowsVersion();
  // The two tray pictures at the small-icon size of a resolution, and the
  // one the Windows version chooses.
  void LoadTrayPictures(int dpi);
  void AddTrayIcon();
  void DeleteTrayIcon();
  void picTrayIcon_MouseMove(uint16_t x);
  void ShowPopupMenu();
  void RunMenuCommand(UINT command);
  void RunModal(void (*show)(HINSTANCE, HWND));

  // Menu commands.
  void pmenu_ReScreenCut_Click();
  void pmenu_LastPicture_Click();
  void pmenu_Clear_Click();
  void pmenu_options_Click();
  void pmenu_Version_Click();
  void pmenu_Quit_Click();
  // The countdown (countdown.cpp).
  void pmenu_TimerScreenCut_Click();
  void pmenu_FreeTimerScreenCut_Click();
  void pmenu_ReScreenCutWithTimer_Click();
  void pmenu_CancelTimer_Click();
  void timerScreenCut_Timer();
  void RunTimedCommand(TimedCommand command);
  // The length typed into the input box; nothing when it was cancelled or
  // does not convert.
  std::optional<int32_t> AskLength(const wchar_t* title);
  void ApplyTick(const TickStep& step);

  // The slot of the countdown timer timerScreenCut on this window.
  static constexpr UINT_PTR kTimerScreenCutId = 1;

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HWND picTrayIcon_ = nullptr;
  UniqueIcon icon256_;
  UniqueIcon picIcon16_;
  HICON trayPicture_ = nullptr;  // the picture of picTrayIcon: one of the two above
  PopupMenus menus_;
  UINT taskbarCreated_ = 0;
  bool IsWindowsXPOrLater = false;
  Countdown countdown_;  // TimerMode and TimerCount
  bool modalOpen_ = false;
  bool unloaded_ = false;
};

}  // namespace kestrel
