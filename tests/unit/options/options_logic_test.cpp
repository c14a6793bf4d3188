#include "options/options_logic.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <map>
#include <set>

#include "options/locale_number.h"
#include "support/text.h"

namespace kestrel::options {
namespace {

using testing_support::Utf8;

// The dialog's controls as a test sets them.
struct Controls {
  std::set<Ctl> checked;
  std::map<Ctl, std::wstring> texts{{Ctl::txtCGridSize, L"16"}, {Ctl::txtTimer, L"3"}};
  ControlValues values() const {
    return {[this](Ctl c) { return checked.count(c) > 0; },
            [this](Ctl c) {
              const auto found = texts.find(c);
              return found == texts.end() ? std::wstring() : found->second;
            }};
  }
};

// What the platform reads as a number in the user's locale, on the whole
// text; nothing when it reads no number.
std::optional<double> PlatformNumber(std::wstring text) {
  double value = 0;
  if (FAILED(VarR8FromStr(text.data(), LOCALE_USER_DEFAULT, 0, &value))) return std::nullopt;
  return value;
}

// Texts the dialog's number test must judge as the platform does, whatever
// the locale: grouped, bracketed, trailing signs, hexadecimal, a full-width
// blank, the empty text, words, halves and the edges of 16 bits.
const wchar_t* const kNumberTexts[] = {
    L"1,000", L"(5)",   L"5-",     L"&H10",  L"\u30005", L"5\u3000", L"",       L"abc",
    L"32768", L"2.5",   L"3.5",    L"-2.5",  L" 7 ",     L"\t7\t",   L"-3",     L"+3",
    L"0",     L"1e2",   L"25E-1",  L".6",    L"6.",      L"32767",   L"-32768", L"32767.4",
    L"   ",   L"12abc", L"1 2",    L"--3",   L"-",       L".",       L"1.2.3",  L"1e",
    L"40000", L"1e6",   L"-32769", L"1e999", L"1e-999",  L"2,5",     L"\uFF15", L"1\u00A0000"};

// The grid size Apply assigns for a text, or nothing when it refuses it.
std::optional<int16_t> GridSizeApplied(const std::wstring& text) {
  Controls controls;
  controls.texts[Ctl::txtCGridSize] = text;
  const ApplyPlan plan = PlanApply(controls.values(), ReadNumberInUserLocale);
  if (plan.rejected != Ctl::None) return std::nullopt;
  for (const Assignment& a : plan.assignments)
    if (std::wstring_view(a.key) == L"CGridSize") return a.number;
  return std::nullopt;
}

TEST(NumberTest, IsThePlatformsOnTheWholeTextInTheUsersLocale) {
  for (const wchar_t* text : kNumberTexts) {
    const auto platform = PlatformNumber(text);
    const auto expected = platform ? ToInt16(*platform) : std::nullopt;
    EXPECT_EQ(GridSizeApplied(text), expected) << "\"" << Utf8(text) << "\"";
  }
}

TEST(NumberTest, ToInt16RoundsHalvesToEvenWithin16Bits) {
  struct Case {
    double value;
    std::optional<int16_t> expected;
  };
  const Case cases[] = {{2.5, 2},
                        {3.5, 4},
                        {-2.5, -2},
                        {0.6, 1},
                        {32767, 32767},
                        {-32768, -32768},
                        {32767.4, 32767},
                        {32767.5, std::nullopt},
                        {-32768.5, -32768},
                        {-32769, std::nullopt},
                        {40000, std::nullopt},
                        {HUGE_VAL, std::nullopt},
                        {-HUGE_VAL, std::nullopt},
                        {NAN, std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(ToInt16(c.value), c.expected) << c.value;
}

TEST(Apply, RefusesABadNumberBeforeAssigningAnything) {
  struct Case {
    const char* rule;
    const wchar_t* grid;
    const wchar_t* timer;
    Ctl rejected;
  };
  const Case cases[] = {
      {"an empty grid size", L"", L"3", Ctl::txtCGridSize},
      {"both wrong: only the grid size", L"x", L"y", Ctl::txtCGridSize},
      {"a timer that is a word", L"16", L"abc", Ctl::txtTimer},
      {"a timer beyond 16 bits", L"16", L"40000", Ctl::txtTimer},
      {"a grid size beyond 16 bits", L"1e6", L"3", Ctl::txtCGridSize},
  };
  for (const auto& c : cases) {
    Controls controls;
    controls.texts[Ctl::txtCGridSize] = c.grid;
    controls.texts[Ctl::txtTimer] = c.timer;
    const ApplyPlan plan = PlanApply(controls.values(), ReadNumberInUserLocale);
    EXPECT_EQ(plan.rejected, c.rejected) << c.rule;
    EXPECT_TRUE(plan.assignments.empty()) << c.rule;
    EXPECT_EQ(Utf8(plan.message ? plan.message : L""),
              Utf8(c.rejected == Ctl::txtCGridSize ? kGridSizeMessage : kTimerMessage))
        << c.rule;
  }
}

TEST(Apply, AssignsTheEighteenOptionsInTableOrder) {
  Controls controls;
  controls.checked = {Ctl::optDefalut3, Ctl::optPictureView2, Ctl::chkPGFrame, Ctl::optPGType1,
                      Ctl::chkCtrlGrid, Ctl::optTimerCut2,    Ctl::optCount0,  Ctl::chkHotkey};
  controls.texts = {{Ctl::txtVModeSoft, L" C:\\v.exe "},
                    {Ctl::txtCGridSize, L" 7 "},
                    {Ctl::txtTimer, L"2.5"},
                    {Ctl::txtCountWave, L"w"}};
  const ApplyPlan plan = PlanApply(controls.values(), ReadNumberInUserLocale);
  ASSERT_EQ(plan.rejected, Ctl::None);
  std::vector<std::string> seen;
  for (const Assignment& a : plan.assignments) {
    std::string value;
    switch (a.type) {
      case OptionType::Integer:
        value = std::to_string(a.number);
        break;
      case OptionType::Boolean:
        value = a.flag ? "true" : "false";
        break;
      case OptionType::String:
        value = "\"" + Utf8(a.text) + "\"";
        break;
    }
    seen.push_back(Utf8(a.key) + "=" + value);
  }
  const std::vector<std::string> expected = {
      "DoubleClick=3",      "ViewMode=2",        "VModeSoft=\" C:\\v.exe \"",
      "PointerGuide=false", "PGFrame=true",      "PGPosition=false",
      "PGType=1",           "PGSize=false",      "PGDescription=false",
      "PGLupe=false",       "CtrlGrid=true",     "CGridSize=7",
      "CutterMode=2",       "CutTimerTime=2",    "CountType=0",
      "CountWave=\"w\"",    "CountSeries=false", "Hotkey=true",
  };
  EXPECT_EQ(seen, expected);
}

TEST(Apply, AnArrayWithoutASelectionIsLeftAlone) {
  Controls controls;
  controls.checked = {Ctl::optDefalut0, Ctl::optDefalut2};  // the lowest selected wins
  const ApplyPlan plan = PlanApply(controls.values(), ReadNumberInUserLocale);
  std::map<std::string, int> numbers;
  for (const Assignment& a : plan.assignments) numbers[Utf8(a.key)] = a.number;
  EXPECT_EQ(numbers.at("DoubleClick"), 0);
  for (const char* key : {"ViewMode", "PGType", "CutterMode", "CountType"})
    EXPECT_EQ(numbers.count(key), 0u) << key;
  EXPECT_EQ(plan.assignments.size(), 14u);
}

// Which targets each enabling rule switches, for the enabler on and off.
TEST(EnablingRules, EachRuleFollowsItsEnablerOnly) {
  struct Case {
    const char* rule;
    Ctl enabler;
    std::set<Ctl> targets;
  };
  const Case cases[] = {
      {"pointer guide",
       Ctl::chkPointerGuide,
       {Ctl::chkPGPosition, Ctl::optPGType0, Ctl::optPGType1, Ctl::chkPGSize, Ctl::chkPGDescription,
        Ctl::chkPGLupe, Ctl::chkPGFrame}},
      {"countdown sound", Ctl::optCount2, {Ctl::txtCountWave, Ctl::btnCountWave}},
      {"picture view", Ctl::optPictureView2, {Ctl::txtVModeSoft, Ctl::btnVModeSoft}},
      {"timer cut", Ctl::optTimerCut0, {Ctl::txtTimer}},
      {"grid", Ctl::chkCtrlGrid, {Ctl::txtCGridSize}},
  };
  const auto rules = EnablingRules();
  ASSERT_EQ(rules.size(), std::size(cases));
  for (size_t i = 0; i < rules.size(); ++i) {
    SCOPED_TRACE(cases[i].rule);
    EXPECT_STREQ(rules[i].name, cases[i].rule) << "the order they run in on opening";
    EXPECT_EQ(rules[i].enabler, cases[i].enabler);
    EXPECT_EQ(std::set<Ctl>(rules[i].targets.begin(), rules[i].targets.end()), cases[i].targets);
    EXPECT_NE(std::find(rules[i].sources.begin(), rules[i].sources.end(), cases[i].enabler),
              rules[i].sources.end());
  }
  // The grid does not hang on the guide, nor the numbered files on the sound.
  for (const auto& rule : rules) {
    if (rule.enabler == Ctl::chkPointerGuide) {
      EXPECT_EQ(std::count(rule.targets.begin(), rule.targets.end(), Ctl::chkCtrlGrid), 0);
      EXPECT_EQ(std::count(rule.targets.begin(), rule.targets.end(), Ctl::txtCGridSize), 0);
    }
    EXPECT_EQ(std::count(rule.targets.begin(), rule.targets.end(), Ctl::chkCountSeries), 0);
  }
}

TEST(Selection, StoredIndexSelectsItsButtonOrKeepsThePreLoadOne) {
  struct Case {
    const char* rule;
    const wchar_t* key;
    int32_t stored;
    Ctl expected;  // after loading
  };
  const Case cases[] = {
      {"DoubleClick 3", L"DoubleClick", 3, Ctl::optDefalut3},
      {"DoubleClick 7 has no button", L"DoubleClick", 7, Ctl::optDefalut0},
      {"a negative index has no button", L"DoubleClick", -1, Ctl::optDefalut0},
      {"ViewMode 2", L"ViewMode", 2, Ctl::optPictureView2},
      {"ViewMode 3 has no button", L"ViewMode", 3, Ctl::optPictureView0},
      {"PGType 1", L"PGType", 1, Ctl::optPGType1},
      {"PGType 2 has no button", L"PGType", 2, Ctl::optPGType0},
      {"CutterMode 1", L"CutterMode", 1, Ctl::optTimerCut1},
      {"CutterMode 9 has no button", L"CutterMode", 9, Ctl::optTimerCut0},
      {"CountType 0", L"CountType", 0, Ctl::optCount0},
      {"CountType 5 keeps the beep", L"CountType", 5, Ctl::optCount1},
      {"an index beyond 16 bits", L"CountType", 65536, Ctl::optCount1},
  };
  for (const auto& c : cases) {
    const Ctl selected = ButtonForStoredIndex(c.key, c.stored).value_or(PreLoadSelection(c.key));
    EXPECT_EQ(selected, c.expected) << c.rule;
  }
}

TEST(TabOrder, FollowsTheTabIndexColumnSkippingWhatCannotTakeTheFocus) {
  // Page 0 shown, the Apply button disabled, the first buttons selected.
  const std::set<Ctl> focusable = {Ctl::cmdCancel,       Ctl::cmdOK,        Ctl::optDefalut0,
                                   Ctl::optPictureView0, Ctl::txtVModeSoft, Ctl::btnVModeSoft};
  auto can = [&](Ctl c) { return focusable.count(c) > 0; };
  std::vector<Ctl> forward;
  Ctl at = Ctl::cmdCancel;
  for (int i = 0; i < 7; ++i) forward.push_back(at = NextInTabOrder(at, true, can));
  EXPECT_EQ(forward,
            (std::vector<Ctl>{Ctl::cmdOK, Ctl::optDefalut0, Ctl::optPictureView0, Ctl::txtVModeSoft,
                              Ctl::btnVModeSoft, Ctl::cmdCancel, Ctl::cmdOK}));
  EXPECT_EQ(NextInTabOrder(Ctl::cmdCancel, false, can), Ctl::btnVModeSoft) << "wraps backwards";
  EXPECT_EQ(NextInTabOrder(Ctl::None, true, can), Ctl::cmdCancel) << "no focus: the first stop";
  EXPECT_EQ(NextInTabOrder(Ctl::cmdOK, true, [](Ctl) { return false; }), Ctl::None);
}

TEST(TabShortcut, OnlyAltAloneSelectsATab) {
  struct Case {
    const char* rule;
    int key;
    int shift;
    std::optional<int> tab;
  };
  const Case cases[] = {
      {"Alt+R", 'R', kAltMask, 0},
      {"Alt+C", 'C', kAltMask, 1},
      {"Alt+T", 'T', kAltMask, 2},
      {"Alt+H", 'H', kAltMask, 3},
      {"Alt+Shift+R", 'R', kAltMask | kShiftMask, std::nullopt},
      {"Ctrl+Alt+C", 'C', kAltMask | kCtrlMask, std::nullopt},
      {"a plain R", 'R', 0, std::nullopt},
      {"Alt with another key", 'X', kAltMask, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(TabForShortcut(c.key, c.shift), c.tab) << c.rule;
}

}  // namespace
}  // namespace kestrel::options
