#pragma once
// The two popup menus of the tray icon, built once from their definitions.

#include <windows.h>

#include "common/win_handles.h"
#include "tray/tray_logic.h"

namespace kestrel {

class PopupMenus {
 public:
  PopupMenus();

  void SetTimedCaptions(const TimedCaptions& captions);
  // pmenu_ReScreenCut, pmenu_ReScreenCutWithTimer and pmenu_LastPicture.
  void SetCutItemsEnabled(bool cutExists);

  // Left-aligned at the point, items chosen by the left button; the chosen
  // item reaches the owner as WM_COMMAND when the menu closes.
  void ShowPopup(HWND owner, POINT at) const;
  void ShowCancel(HWND owner, POINT at) const;

 private:
  UniqueMenu pmenu_;  // owns the submenu pmenu_more as well
  UniqueMenu pmenu2_;
};

}  // namespace kestrel
