#include "tray/tray_logic.h"

#include <algorithm>

namespace kestrel {
namespace {

constexpr uint16_t kWmLButtonDblClk = 0x0203;
constexpr uint16_t kWmRButtonDown = 0x0204;

constexpr uint32_t kPlatformNt = 2;
constexpr float kWindowsXpVersion = 5.01f;

constexpr int32_t kCutterModeFixed = 0;
constexpr int32_t kCutterModeAsk = 1;

constexpr wchar_t kTimerScreenCutSuffix[] = L"秒後に画面を切り取る(&T)";
constexpr wchar_t kReScreenCutWithTimerSuffix[] = L"秒後に同じ画面範囲を切り取る(&U)";
constexpr wchar_t kTimerScreenCutAsk[] = L"時間を指定して画面を切り取る(&T)";
constexpr wchar_t kReScreenCutWithTimerAsk[] = L"時間を指定して同じ画面範囲を切り取る(&U)";

constexpr MenuEntry Command(const char* name, MenuCommand command, const wchar_t* caption,
                            int depth = 0, bool needsCut = false) {
  return {name, MenuEntryKind::Command, command, caption, depth, true, needsCut};
}
constexpr MenuEntry Separator(const char* name, int depth = 0, bool visible = true) {
  return {name, MenuEntryKind::Separator, MenuCommand{}, L"-", depth, visible, false};
}

constexpr MenuEntry kPopupMenu[] = {
    Command("pmenu_ScreenCut", MenuCommand::ScreenCut, L"画面を切り取る(&S)"),
    Command("pmenu_TimerScreenCut", MenuCommand::TimerScreenCut, L""),
    Separator("pmenuBar2"),
    {"pmenu_more", MenuEntryKind::Submenu, MenuCommand{}, L"その他の機能(&M)", 0, true, false},
    Command("pmenu_FreeTimerScreenCut", MenuCommand::FreeTimerScreenCut,
            L"時間を指定して画面を切り取る(&F)", 1),
    Command("pmenu_ReScreenCut", MenuCommand::ReScreenCut, L"前回と同じ画面範囲を切り取る(&R)", 1,
            true),
    Command("pmenu_ReScreenCutWithTimer", MenuCommand::ReScreenCutWithTimer, L"", 1, true),
    Separator("pmenuBar4", 1),
    Command("pmenu_LastPicture", MenuCommand::LastPicture, L"最後に切り取った画像(&L)", 1, true),
    Command("pmenu_Clear", MenuCommand::Clear, L"クリップボードをクリア(&C)", 1),
    Separator("pmenu_Bar3", 1, false),
    {"pmenu_AutoSaveClipboard", MenuEntryKind::Command, MenuCommand::AutoSaveClipboard,
     L"クリップボード画像の自動保存(&A)", 1, false, false},
    Command("pmenu_options", MenuCommand::Options, L"オプション(&O)..."),
    Separator("pmenuBar1"),
    Command("pmenu_Version", MenuCommand::Version, L"バージョン情報(&V)..."),
    Command("pmenu_Quit", MenuCommand::Quit, L"終了(&Q)"),
};

constexpr MenuEntry kCancelMenu[] = {
    Command("pmenu_CancelTimer", MenuCommand::CancelTimer, L"タイマーをキャンセル（&C)"),
};

}  // namespace

TrayAction DecodeTrayCallback(uint16_t mouseMessage) {
  switch (mouseMessage) {
    case kWmLButtonDblClk:
      return TrayAction::DoubleClick;
    case kWmRButtonDown:
      return TrayAction::ShowPopupMenu;
    default:
      return TrayAction::None;
  }
}

DoubleClickCommand DoubleClickDispatch(int32_t doubleClickOption) {
  switch (doubleClickOption) {
    case 0:
      return DoubleClickCommand::ScreenCut;
    case 1:
      return DoubleClickCommand::TimerScreenCut;
    case 2:
      return DoubleClickCommand::ReScreenCut;
    default:
      return DoubleClickCommand::ReScreenCutWithTimer;
  }
}

TimedCaptions TimedMenuCaptions(int32_t cutterMode, int32_t cutTimerTime, int32_t timerSeconds) {
  if (cutterMode == kCutterModeAsk) return {kTimerScreenCutAsk, kReScreenCutWithTimerAsk};
  const std::wstring seconds =
      std::to_wstring(cutterMode == kCutterModeFixed ? cutTimerTime : timerSeconds);
  return {seconds + kTimerScreenCutSuffix, seconds + kReScreenCutWithTimerSuffix};
}

bool IsVersionXPOrLater(uint32_t platformId, uint32_t major, uint32_t minor) {
  if (platformId != kPlatformNt) return false;
  // Every step is stored as a float: x87 code would otherwise keep the sum in
  // extended precision, and 5 + 1/100 would then fall short of 5.01f.
  volatile const float minorPart = static_cast<float>(minor) / 100.0f;
  volatile const float version = static_cast<float>(major) + minorPart;
  return version >= kWindowsXpVersion;
}

std::array<char, kTipFieldBytes> TipField(std::string_view ansiText) {
  std::array<char, kTipFieldBytes> field;
  field.fill(' ');
  const size_t length = std::min(ansiText.size(), kTipFieldBytes - 1);
  std::copy_n(ansiText.begin(), length, field.begin());
  field[length] = '\0';
  return field;
}

std::span<const MenuEntry> PopupMenuDefinition() { return kPopupMenu; }
std::span<const MenuEntry> CancelMenuDefinition() { return kCancelMenu; }

}  // namespace kestrel
