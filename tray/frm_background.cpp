#include "tray/frm_background.h"

#include <utility>

#include "about/frm_version.h"
#include "common/cp932.h"
#include "common/message_pump.h"
#include "common/test_hooks.h"
#include "common/window_dpi.h"
#include "core/capture_control.h"
#include "core/mdl_kestrel.h"
#include "core/options_table.h"
#include "desktop/mdl_hotkey.h"
#include "desktop/screen_settle.h"
#include "options/frm_options.h"
#include "res/resource_ids.h"
#include "tray/tray_icon.h"
#include "tray/tray_logic.h"

namespace kestrel {
namespace {

constexpr char kBackgroundCaption[] = "frmBackground";
// Sent by the shell to every top-level window when the taskbar is (re)created.
constexpr wchar_t kTaskbarCreatedMessage[] = L"TaskbarCreated";
constexpr int kTrayIconSize = 16;

UniqueIcon LoadIconResource(HINSTANCE instance, int id, int size) {
  return UniqueIcon(static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

bool RegisterWindowClass(HINSTANCE instance, const char* name, WNDPROC procedure) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TRAY_256));
  windowClass.lpszClassName = name;
  return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

frmBackground* FormOf(HWND window) {
  return reinterpret_cast<frmBackground*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

}  // namespace

frmBackground::frmBackground(HINSTANCE instance) : instance_(instance) {}

frmBackground::~frmBackground() {
  if (window_) {
    Form_Unload();
    DestroyWindow(window_);
  }
  CloseCaptureControl();
}

bool frmBackground::Load() {
  if (!RegisterWindowClass(instance_, kBackgroundClassName, &FormProc) ||
      !RegisterWindowClass(instance_, kTrayIconClassName, &TrayIconProc))
    return false;
  window_ = CreateWindowExA(0, kBackgroundClassName, kBackgroundCaption, WS_OVERLAPPEDWINDOW,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                            nullptr, instance_, this);
  if (!window_) return false;
  if (AllocationRefused(Allocation::TrayCallbackWindow)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  picTrayIcon_ = CreateWindowExA(0, kTrayIconClassName, "picTrayIcon", WS_CHILD, 0, 0,
                                 kTrayIconSize, kTrayIconSize, window_, nullptr, instance_, this);
  if (!picTrayIcon_) return false;
  taskbarCreated_ = RegisterWindowMessageW(kTaskbarCreatedMessage);
  Form_Load();
  return true;
}

LRESULT CALLBACK frmBackground::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  frmBackground* form = FormOf(window);
  if (form && form->window_ == window) return form->HandleFormMessage(message, wParam, lParam);
  if (form && message == WM_NCCREATE) form->window_ = window;
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK frmBackground::TrayIconProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  if (message == kTrayCallbackMessage) {
    if (frmBackground* form = FormOf(window))
      form->picTrayIcon_MouseMove(LOWORD(static_cast<DWORD_PTR>(lParam)));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT frmBackground::HandleFormMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == 0 && lParam == 0) RunMenuCommand(LOWORD(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTimerScreenCutId) timerScreenCut_Timer();
      return 0;
    case WM_CLOSE:
      // A close from outside (the system, a task manager) ends the program
      // as the quit command does, so the icon and the options are not lost.
      Unload();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;  // a cut in progress never holds up the end of the session
    case WM_ENDSESSION:
      // The session ends, or an installer closes running programs
      // (ENDSESSION_CLOSEAPP): quit as the quit command does.
      if (wParam) Unload();
      return 0;
    case WM_DPICHANGED:
      // The monitor's scale changed: the shell shows small icons of the new
      // size.
      if (!unloaded_) {
        LoadTrayPictures(LOWORD(wParam));
        ModifyTrayIcon(picTrayIcon_, trayPicture_);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY: {
      const HWND window = std::exchange(window_, nullptr);
      return DefWindowProcA(window, message, wParam, lParam);
    }
    default:
      if (message == taskbarCreated_ && taskbarCreated_ != 0 && !unloaded_) {
        // The shell restarted: without this the program would be unreachable.
        AddTrayIcon();
        return 0;
      }
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

void frmBackground::Form_Load() {
  CheckWindowsVersion();
  LoadTrayPictures(WindowDpi(window_));
  AddTrayIcon();
  InitCaptureControl(instance_, window_);
  countdown_ = Countdown{};
  InstallHotkeyWindowProc(
      window_, [this] { DoubleClick(); }, [] { return OptionIsTrue(kHotkeyKey); });
  RegisterGlobalHotkey();
}

void frmBackground::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  UnregisterGlobalHotkey();
  DeleteTrayIcon();
  SaveChangedOptions();
  EndCaptureControl();
}

void frmBackground::Unload() {
  Form_Unload();
  if (window_) DestroyWindow(window_);
}

void frmBackground::CheckWindowsVersion() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  IsWindowsXPOrLater =
      GetVersionExW(&version) &&
      IsVersionXPOrLater(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
}

void frmBackground::LoadTrayPictures(int dpi) {
  // Drawn at the small-icon size of the resolution, not a 16 x 16 the shell
  // would stretch.
  const int side = SmallIconSide(dpi);
  icon256_ = LoadIconResource(instance_, IDI_TRAY_256, side);
  picIcon16_ = LoadIconResource(instance_, IDI_TRAY_16, side);
  trayPicture_ = IsWindowsXPOrLater ? icon256_.get() : picIcon16_.get();
}

void frmBackground::AddTrayIcon() { kestrel::AddTrayIcon(picTrayIcon_, trayPicture_); }

void frmBackground::DeleteTrayIcon() { kestrel::DeleteTrayIcon(picTrayIcon_, trayPicture_); }

void frmBackground::picTrayIcon_MouseMove(uint16_t x) {
  // While a modal window of ours is open the icon does nothing: a second
  // about box, or the double-click action re-registering the hotkey, would
  // break the modal window's guarantees.
  if (modalOpen_ || unloaded_) return;
  switch (DecodeTrayCallback(x)) {
    case TrayAction::DoubleClick:
      DoubleClick();
      break;
    case TrayAction::ShowPopupMenu:
      ShowPopupMenu();
      break;
    case TrayAction::None:
      break;
  }
}

void frmBackground::ShowPopupMenu() {
  POINT at{};
  if (countdown_.TimerMode() != 0) {
    GetCursorPos(&at);
    menus_.ShowCancel(window_, at);
    return;
  }
  menus_.SetTimedCaptions(TimedMenuCaptions(OptionInteger(kCutterModeKey),
                                            OptionInteger(kCutTimerTimeKey), TimerSeconds));
  SetForegroundWindow(window_);
  DoEvents();
  if (!window_) return;  // the pending messages ended the program
  menus_.SetCutItemsEnabled(CutExists);
  GetCursorPos(&at);
  menus_.ShowPopup(window_, at);
}

void frmBackground::DoubleClick() {
  if (countdown_.TimerMode() != 0) return;
  UnregisterGlobalHotkey();
  switch (DoubleClickDispatch(OptionInteger(kDoubleClickKey))) {
    case DoubleClickCommand::ScreenCut:
      StartScreenCut();
      break;
    case DoubleClickCommand::TimerScreenCut:
      pmenu_TimerScreenCut_Click();
      break;
    case DoubleClickCommand::ReScreenCut:
      RetryScreenCut();
      break;
    case DoubleClickCommand::ReScreenCutWithTimer:
      pmenu_ReScreenCutWithTimer_Click();
      break;
  }
  if (!unloaded_) RegisterGlobalHotkey();
}

void frmBackground::RunMenuCommand(UINT command) {
  switch (static_cast<MenuCommand>(command)) {
    case MenuCommand::ScreenCut:
      // The menu has just closed over other programs' windows.
      WaitForOtherWindowsToRepaint();
      StartScreenCut();
      break;
    case MenuCommand::TimerScreenCut:
      pmenu_TimerScreenCut_Click();
      break;
    case MenuCommand::FreeTimerScreenCut:
      pmenu_FreeTimerScreenCut_Click();
      break;
    case MenuCommand::ReScreenCut:
      pmenu_ReScreenCut_Click();
      break;
    case MenuCommand::ReScreenCutWithTimer:
      pmenu_ReScreenCutWithTimer_Click();
      break;
    case MenuCommand::LastPicture:
      pmenu_LastPicture_Click();
      break;
    case MenuCommand::Clear:
      pmenu_Clear_Click();
      break;
    case MenuCommand::AutoSaveClipboard:
      break;  // hidden item without a command
    case MenuCommand::Options:
      pmenu_options_Click();
      break;
    case MenuCommand::Version:
      pmenu_Version_Click();
      break;
    case MenuCommand::Quit:
      pmenu_Quit_Click();
      break;
    case MenuCommand::CancelTimer:
      pmenu_CancelTimer_Click();
      break;
  }
}

void frmBackground::RunModal(void (*show)(HINSTANCE, HWND)) {
  UnregisterGlobalHotkey();
  modalOpen_ = true;
  if (show) show(instance_, window_);
  modalOpen_ = false;
  if (!unloaded_) RegisterGlobalHotkey();  // a close from outside may have ended us meanwhile
}

void frmBackground::pmenu_ReScreenCut_Click() {
  if (!CutExists) return;
  WaitForOtherWindowsToRepaint();
  RetryScreenCut();
}

void frmBackground::pmenu_LastPicture_Click() {
  if (!CutExists) return;
  dsCopyToClipboard();
  ShowCutPicture();
}

void frmBackground::pmenu_Clear_Click() { ClearClipboard(); }

void frmBackground::pmenu_options_Click() {
  // A second command while the dialog is open brings that one to the front.
  if (frmOptions::BringToFront()) return;
  RunModal(&frmOptions::ShowModal);
}

void frmBackground::pmenu_Version_Click() { RunModal(&frmVersion::ShowModal); }

void frmBackground::pmenu_Quit_Click() { Unload(); }

}  // namespace kestrel
