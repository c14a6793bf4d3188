#include "tray/tray_logic.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace kestrel {
namespace {

struct CallbackCase {
  const char* rule;
  uint16_t mouseMessage;
  TrayAction expected;
};
const CallbackCase kCallbacks[] = {
    {"pointer moving over the icon does nothing", 0x200, TrayAction::None},
    {"left press does nothing", 0x201, TrayAction::None},
    {"left release does nothing", 0x202, TrayAction::None},
    {"left double click runs the double-click action", 0x203, TrayAction::DoubleClick},
    {"the menu opens on the right press", 0x204, TrayAction::ShowPopupMenu},
    {"not again on the right release", 0x205, TrayAction::None},
    {"right double click does nothing", 0x206, TrayAction::None},
    {"middle press does nothing", 0x207, TrayAction::None},
    {"zero does nothing", 0, TrayAction::None},
    {"the largest number does nothing", 0xFFFF, TrayAction::None},
};

TEST(TrayCallback, DecodesEveryMouseMessage) {
  for (const auto& c : kCallbacks)
    EXPECT_EQ(DecodeTrayCallback(c.mouseMessage), c.expected) << c.rule;
}

struct DispatchCase {
  const char* rule;
  int32_t option;
  DoubleClickCommand expected;
};
const DispatchCase kDispatch[] = {
    {"0 cuts the screen", 0, DoubleClickCommand::ScreenCut},
    {"1 cuts after a countdown", 1, DoubleClickCommand::TimerScreenCut},
    {"2 cuts the last area", 2, DoubleClickCommand::ReScreenCut},
    {"3 cuts the last area after a countdown", 3, DoubleClickCommand::ReScreenCutWithTimer},
    {"any larger value acts as 3", 100, DoubleClickCommand::ReScreenCutWithTimer},
    {"a negative value acts as 3", -1, DoubleClickCommand::ReScreenCutWithTimer},
    {"the smallest value acts as 3", INT32_MIN, DoubleClickCommand::ReScreenCutWithTimer},
};

TEST(DoubleClick, DispatchesOnTheOption) {
  for (const auto& c : kDispatch) EXPECT_EQ(DoubleClickDispatch(c.option), c.expected) << c.rule;
}

struct CaptionCase {
  const char* rule;
  int32_t cutterMode, cutTimerTime, timerSeconds;
  const wchar_t* timer;
  const wchar_t* reTimer;
};
const CaptionCase kCaptions[] = {
    {"mode 0 shows CutTimerTime", 0, 10, 7, L"10秒後に画面を切り取る(&T)",
     L"10秒後に同じ画面範囲を切り取る(&U)"},
    {"the defaults give 3 seconds", 0, 3, 3, L"3秒後に画面を切り取る(&T)",
     L"3秒後に同じ画面範囲を切り取る(&U)"},
    {"mode 1 asks for the length", 1, 10, 7, L"時間を指定して画面を切り取る(&T)",
     L"時間を指定して同じ画面範囲を切り取る(&U)"},
    {"mode 2 shows the length used last", 2, 10, 7, L"7秒後に画面を切り取る(&T)",
     L"7秒後に同じ画面範囲を切り取る(&U)"},
    {"other modes act as 2", -5, 10, 12, L"12秒後に画面を切り取る(&T)",
     L"12秒後に同じ画面範囲を切り取る(&U)"},
    {"a negative length is written with its sign", 0, -3, 7, L"-3秒後に画面を切り取る(&T)",
     L"-3秒後に同じ画面範囲を切り取る(&U)"},
    {"a zero length is written as 0", 0, 0, 7, L"0秒後に画面を切り取る(&T)",
     L"0秒後に同じ画面範囲を切り取る(&U)"},
    {"the largest stored length", 0, 32767, 7, L"32767秒後に画面を切り取る(&T)",
     L"32767秒後に同じ画面範囲を切り取る(&U)"},
};

TEST(TimedCaptions, FollowCutterMode) {
  for (const auto& c : kCaptions) {
    const TimedCaptions captions = TimedMenuCaptions(c.cutterMode, c.cutTimerTime, c.timerSeconds);
    EXPECT_EQ(captions.timerScreenCut, c.timer) << c.rule;
    EXPECT_EQ(captions.reScreenCutWithTimer, c.reTimer) << c.rule;
  }
}

struct VersionCase {
  const char* rule;
  uint32_t platform, major, minor;
  bool expected;
};
const VersionCase kVersions[] = {
    {"XP (NT 5.01) is XP or later", 2, 5, 1, true},
    {"2000 (NT 5.00) is older", 2, 5, 0, false},
    {"Server 2003 (NT 5.02)", 2, 5, 2, true},
    {"Windows 7 (NT 6.01)", 2, 6, 1, true},
    {"Windows 10 (NT 10.00)", 2, 10, 0, true},
    {"NT 4.99 is older", 2, 4, 99, false},
    {"a 9x platform is never XP", 1, 5, 1, false},
    {"an unknown platform is never XP", 3, 10, 0, false},
};

TEST(WindowsVersion, ChoosesTheIconColours) {
  for (const auto& c : kVersions)
    EXPECT_EQ(IsVersionXPOrLater(c.platform, c.major, c.minor), c.expected) << c.rule;
}

TEST(TipField, IsTextNulThenBlanksTo64Bytes) {
  const auto field = TipField("Kestrel 5");
  EXPECT_EQ(std::string(field.data(), 9), "Kestrel 5");
  EXPECT_EQ(field[9], '\0');
  for (size_t i = 10; i < field.size(); ++i) EXPECT_EQ(field[i], ' ') << "byte " << i;
}

TEST(TipField, EmptyTextIsNulThenBlanks) {
  const auto field = TipField("");
  EXPECT_EQ(field[0], '\0');
  EXPECT_EQ(field[63], ' ');
}

TEST(TipField, LongTextIsCutTo63BytesAndStaysTerminated) {
  const std::string longText(100, 'x');
  const auto field = TipField(longText);
  EXPECT_EQ(std::string(field.data(), 63), std::string(63, 'x'));
  EXPECT_EQ(field[63], '\0');
}

TEST(TipField, ShiftJisBytesAreCopiedUnchanged) {
  const std::string sjis = "\x83\x4c\x83\x58";  // two double-byte characters
  const auto field = TipField(sjis);
  EXPECT_EQ(std::string(field.data(), 4), sjis);
  EXPECT_EQ(field[4], '\0');
}

}  // namespace
}  // namespace kestrel
