#pragma once
// A dialog that lays itself out for the resolution of its monitor: when it
// opens, and again when Windows tells it of another one (it was moved to a
// monitor of another scale, or the scale changed). Windows' own scaling of
// dialogs is kept off, so nothing is scaled twice.

#include <windows.h>

#include "common/window_dpi.h"

namespace kestrel {

// WM_GETDPISCALEDSIZE (Windows 10, 1703): declared only for newer targets.
inline constexpr UINT kGetDpiScaledSizeMessage = 0x02E4;

class DpiDialog {
 public:
  int dpi() const { return dpi_; }

  // For the dialog procedure: true when the message was one of the two of a
  // change of resolution, its result set.
  bool HandleDpiMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!dialog_) return false;
    if (message == kGetDpiScaledSizeMessage && lParam) {
      // The size Windows then suggests is ours, not the old one scaled.
      *reinterpret_cast<SIZE*>(lParam) = WindowSizeAt(LOWORD(wParam));
      SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, TRUE);
      return true;
    }
    if (message == WM_DPICHANGED && lParam) {
      dpi_ = LOWORD(wParam);
      LayOut(dpi_);
      const RECT suggested = *reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(dialog_, nullptr, suggested.left, suggested.top,
                   suggested.right - suggested.left, suggested.bottom - suggested.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      FitClient();
      RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, 0);
      return true;
    }
    return false;
  }

 protected:
  DpiDialog() = default;
  ~DpiDialog() = default;
  DpiDialog(const DpiDialog&) = delete;
  DpiDialog& operator=(const DpiDialog&) = delete;

  // The dialog's size at a resolution: of its client area or of the whole
  // window, as its design gives it.
  struct DesignSize {
    bool client;
    SIZE size;
  };
  virtual DesignSize SizeAt(int dpi) const = 0;
  // Fonts made anew for the resolution and every child placed again; the
  // window itself is sized by the caller.
  virtual void LayOut(int dpi) = 0;

  // On WM_INITDIALOG: lays the dialog out for its monitor and centres it on
  // the screen.
  void OpenDpiDialog(HWND dialog) {
    dialog_ = dialog;
    KeepDialogScalingOff(dialog);
    dpi_ = WindowDpi(dialog);
    LayOut(dpi_);
    const SIZE size = WindowSizeAt(dpi_);
    SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    FitClient();
  }

 private:
  SIZE WindowSizeAt(int dpi) const {
    const DesignSize design = SizeAt(dpi);
    return design.client ? WindowSizeForClient(dialog_, design.size.cx, design.size.cy, dpi)
                         : design.size;
  }

  // A client area of the design's size, whatever frame the system draws
  // around it: where the frame is the one the resolution's metrics give,
  // this moves nothing.
  void FitClient() {
    const DesignSize design = SizeAt(dpi_);
    if (!design.client) return;
    RECT client{}, window{};
    GetClientRect(dialog_, &client);
    GetWindowRect(dialog_, &window);
    const int dx = design.size.cx - client.right;
    const int dy = design.size.cy - client.bottom;
    if (dx == 0 && dy == 0) return;
    SetWindowPos(dialog_, nullptr, 0, 0, window.right - window.left + dx,
                 window.bottom - window.top + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  HWND dialog_ = nullptr;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
};

}  // namespace kestrel
