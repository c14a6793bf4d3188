#include "tray/popup_menus.h"

#include <span>

namespace kestrel {
namespace {

// The captions of a menu never shown before preparation: those of the
// default options.
constexpr int32_t kInitialCutterMode = 0;
constexpr int32_t kInitialSeconds = 3;

constexpr UINT kPopupFlags = 0;

UniqueMenu Build(std::span<const MenuEntry> entries) {
  UniqueMenu root(CreatePopupMenu());
  HMENU submenu = nullptr;
  for (const MenuEntry& entry : entries) {
    if (!entry.visible) continue;
    HMENU parent = entry.depth == 0 ? root.get() : submenu;
    if (!parent) continue;
    switch (entry.kind) {
      case MenuEntryKind::Separator:
        AppendMenuW(parent, MF_SEPARATOR, 0, nullptr);
        break;
      case MenuEntryKind::Submenu:
        submenu = CreatePopupMenu();
        AppendMenuW(parent, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu),
                    entry.caption);
        break;
      case MenuEntryKind::Command:
        AppendMenuW(parent, MF_STRING, static_cast<UINT_PTR>(entry.command), entry.caption);
        break;
    }
  }
  return root;
}

void SetCaption(HMENU menu, MenuCommand command, const std::wstring& caption) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  info.dwTypeData = const_cast<wchar_t*>(caption.c_str());
  SetMenuItemInfoW(menu, static_cast<UINT>(command), FALSE, &info);
}

// A notification icon's menu, as the platform documents it: the owner is
// the foreground window before (the caller's part), and a benign message
// follows at once, or the next opening of a menu may close as it appears.
void Track(HMENU menu, HWND owner, POINT at) {
  TrackPopupMenu(menu, kPopupFlags, at.x, at.y, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
}

}  // namespace

PopupMenus::PopupMenus()
    : pmenu_(Build(PopupMenuDefinition())), pmenu2_(Build(CancelMenuDefinition())) {
  SetTimedCaptions(TimedMenuCaptions(kInitialCutterMode, kInitialSeconds, kInitialSeconds));
}

void PopupMenus::SetTimedCaptions(const TimedCaptions& captions) {
  SetCaption(pmenu_.get(), MenuCommand::TimerScreenCut, captions.timerScreenCut);
  SetCaption(pmenu_.get(), MenuCommand::ReScreenCutWithTimer, captions.reScreenCutWithTimer);
}

void PopupMenus::SetCutItemsEnabled(bool cutExists) {
  for (const MenuEntry& entry : PopupMenuDefinition()) {
    if (!entry.needsCut) continue;
    EnableMenuItem(pmenu_.get(), static_cast<UINT>(entry.command),
                   MF_BYCOMMAND | (cutExists ? MF_ENABLED : MF_GRAYED));
  }
}

void PopupMenus::ShowPopup(HWND owner, POINT at) const { Track(pmenu_.get(), owner, at); }

void PopupMenus::ShowCancel(HWND owner, POINT at) const { Track(pmenu2_.get(), owner, at); }

}  // namespace kestrel
