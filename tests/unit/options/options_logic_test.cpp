#include "options/options_logic.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "support/text.h"

namespace kestrel::options {
namespace {

using testing_support::Utf8;

struct NumberCase {
  const char* rule;
  const wchar_t* text;
  std::optional<int16_t> expected;  // nothing: refused
};
const NumberCase kNumbers[] = {
    {"a half rounds down to the even 2", L"2.5", 2},
    {"a half rounds up to the even 4", L"3.5", 4},
    {"a negative half rounds to the even -2", L"-2.5", -2},
    {"blanks before and after", L" 7 ", 7},
    {"tabs count as blanks", L"\t7\t", 7},
    {"a minus sign", L"-3", -3},
    {"a plus sign", L"+3", 3},
    {"zero", L"0", 0},
    {"an exponent", L"1e2", 100},
    {"an exponent with a sign and a capital E", L"25E-1", 2},
    {"a leading decimal separator", L".6", 1},
    {"a trailing decimal separator", L"6.", 6},
    {"the largest value", L"32767", 32767},
    {"the smallest value", L"-32768", -32768},
    {"just inside after rounding", L"32767.4", 32767},
    {"the empty text", L"", std::nullopt},
    {"blanks only", L"   ", std::nullopt},
    {"a word", L"abc", std::nullopt},
    {"digits followed by a word", L"12abc", std::nullopt},
    {"a blank inside", L"1 2", std::nullopt},
    {"two signs", L"--3", std::nullopt},
    {"a sign alone", L"-", std::nullopt},
    {"a separator alone", L".", std::nullopt},
    {"two separators", L"1.2.3", std::nullopt},
    {"an exponent without digits", L"1e", std::nullopt},
    {"a group separator", L"1,000", std::nullopt},
    {"a number beyond 16 bits", L"40000", std::nullopt},
    {"an exponent beyond 16 bits", L"1e6", std::nullopt},
    {"a half that rounds out of range", L"32767.5", std::nullopt},
    {"below the range", L"-32769", std::nullopt},
    {"beyond a double", L"1e999", std::nullopt},
};

TEST(NumberTest, AcceptsWhatTheLocaleReadsAsANumberWithin16Bits) {
  for (const auto& c : kNumbers) {
    const auto parsed = ParseNumber(c.text, L'.');
    const auto value = parsed ? ToInt16(*parsed) : std::nullopt;
    EXPECT_EQ(value, c.expected) << c.rule << ": \"" << Utf8(c.text) << "\"";
  }
}

TEST(NumberTest, TheDecimalSeparatorIsTheLocales) {
  EXPECT_EQ(ParseNumber(L"2,5", L','), 2.5);
  EXPECT_EQ(ParseNumber(L"2.5", L','), std::nullopt);
  EXPECT_EQ(ParseNumber(L"1e-999", L'.'), 0.0) << "too small for a double is still a number";
}

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
    const ApplyPlan plan = PlanApply(controls.values(), L'.');
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
  const ApplyPlan plan = PlanApply(controls.values(), L'.');
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
  const ApplyPlan plan = PlanApply(controls.values(), L'.');
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
