#pragma once
// The tray resident's decisions, apart from the window that applies them:
// the callback decoding, the menu definitions and captions, the double-click
// dispatch, the icon choice and the tip field of the notification record.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kestrel {

// The shell's callback message to picTrayIcon: the mouse message number
// arrives in the low word of lParam.
inline constexpr uint32_t kTrayCallbackMessage = 0x0200;

inline constexpr const wchar_t* kTrayTip = L"Kestrel 5";
// The removal record carries another tip; the shell ignores it.
inline constexpr const wchar_t* kTrayRemovalTip = L"Thornapple";
inline constexpr size_t kTipFieldBytes = 64;

enum class TrayAction { None, DoubleClick, ShowPopupMenu };

// Decodes the mouse message number of a tray callback: a double click of the
// left button runs the double-click action, a press of the right button opens
// a menu (on the press, not the release); every other number does nothing.
TrayAction DecodeTrayCallback(uint16_t mouseMessage);

enum class DoubleClickCommand { ScreenCut, TimerScreenCut, ReScreenCut, ReScreenCutWithTimer };

// "DoubleClick": 0 cut, 1 timed cut, 2 cut of the last area, any other value
// timed cut of the last area.
DoubleClickCommand DoubleClickDispatch(int32_t doubleClickOption);

struct TimedCaptions {
  std::wstring timerScreenCut;
  std::wstring reScreenCutWithTimer;
};

// Captions of the two timed items from "CutterMode": 0 the seconds of
// "CutTimerTime", 1 the asking captions, any other value the length used
// last (TimerSeconds).
TimedCaptions TimedMenuCaptions(int32_t cutterMode, int32_t cutTimerTime, int32_t timerSeconds);

// Platform 2 (NT) and major + minor / 100 in single precision not below 5.01.
bool IsVersionXPOrLater(uint32_t platformId, uint32_t major, uint32_t minor);

// The tip field of the notification record: the text, a terminating NUL and
// blanks up to 64 bytes. A longer text is cut to 63 bytes.
std::array<char, kTipFieldBytes> TipField(std::string_view ansiText);

enum class MenuCommand : uint16_t {
  ScreenCut = 1001,
  TimerScreenCut,
  FreeTimerScreenCut,
  ReScreenCut,
  ReScreenCutWithTimer,
  LastPicture,
  Clear,
  AutoSaveClipboard,
  Options,
  Version,
  Quit,
  CancelTimer,
};

enum class MenuEntryKind { Command, Separator, Submenu };

// One item of a popup menu definition, in display order. Items of depth 1
// belong to the submenu opened by the preceding Submenu entry.
struct MenuEntry {
  const char* name;
  MenuEntryKind kind;
  MenuCommand command;
  const wchar_t* caption;  // empty for the two timed items, set before showing
  int depth;
  bool visible;
  bool needsCut;  // enabled only when a cut exists
};

// pmenu, the menu shown unless a countdown runs.
std::span<const MenuEntry> PopupMenuDefinition();
// Pmenu2, the menu shown while a countdown runs.
std::span<const MenuEntry> CancelMenuDefinition();

}  // namespace kestrel
