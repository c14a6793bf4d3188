#include "options/options_logic.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace kestrel::options {
namespace {

using enum Ctl;

struct NumericBox {
  Ctl box;
  const wchar_t* message;
};
// The grid size is tested first: with both wrong only its message shows.
constexpr std::array kNumericBoxes = {NumericBox{txtCGridSize, kGridSizeMessage},
                                      NumericBox{txtTimer, kTimerMessage}};

const ControlSpec* EditorOf(std::wstring_view key, Kind kind) {
  for (const ControlSpec& c : Controls())
    if (c.kind == kind && c.key && key == c.key) return &c;
  return nullptr;
}

}  // namespace

std::optional<int16_t> ToInt16(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  // The default rounding mode rounds halves to even.
  const double rounded = std::nearbyint(value);
  if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
  return static_cast<int16_t>(rounded);
}

ApplyPlan PlanApply(const ControlValues& values, const NumberReader& readNumber) {
  ApplyPlan plan;
  std::array<int16_t, kNumericBoxes.size()> numbers{};
  for (size_t i = 0; i < kNumericBoxes.size(); ++i) {
    const auto parsed = readNumber(values.text(kNumericBoxes[i].box));
    const auto number = parsed ? ToInt16(*parsed) : std::nullopt;
    if (!number) {
      plan.rejected = kNumericBoxes[i].box;
      plan.message = kNumericBoxes[i].message;
      return plan;
    }
    numbers[i] = *number;
  }
  for (const OptionRow& row : OptionsTable(false)) {
    Assignment a{row.key, row.value.type, 0, false, {}};
    if (row.value.type == OptionType::Integer) {
      if (const ControlSpec* box = EditorOf(row.key, Kind::TextBox)) {
        const auto* numeric = std::find_if(kNumericBoxes.begin(), kNumericBoxes.end(),
                                           [&](const NumericBox& n) { return n.box == box->id; });
        a.number = numbers[static_cast<size_t>(numeric - kNumericBoxes.begin())];
      } else {
        // The lowest selected index; none selected leaves the option as it is.
        bool found = false;
        for (Ctl button : OptionArray(row.key)) {
          if (values.checked(button)) {
            a.number = Find(button)->index;
            found = true;
            break;
          }
        }
        if (!found) continue;
      }
    } else if (row.value.type == OptionType::Boolean) {
      const ControlSpec* box = EditorOf(row.key, Kind::CheckBox);
      a.flag = box && values.checked(box->id);
    } else {
      const ControlSpec* box = EditorOf(row.key, Kind::TextBox);
      if (box) a.text = values.text(box->id);
    }
    plan.assignments.push_back(std::move(a));
  }
  return plan;
}

std::span<const EnablingRule> EnablingRules() {
  static const std::vector<EnablingRule> kRules = {
      {"pointer guide",
       chkPointerGuide,
       {chkPointerGuide},
       {chkPGPosition, optPGType0, optPGType1, chkPGSize, chkPGDescription, chkPGLupe, chkPGFrame}},
      {"countdown sound",
       optCount2,
       {optCount0, optCount1, optCount2},
       {txtCountWave, btnCountWave}},
      {"picture view",
       optPictureView2,
       {optPictureView0, optPictureView1, optPictureView2},
       {txtVModeSoft, btnVModeSoft}},
      {"timer cut", optTimerCut0, {optTimerCut0, optTimerCut1, optTimerCut2}, {txtTimer}},
      {"grid", chkCtrlGrid, {chkCtrlGrid}, {txtCGridSize}},
  };
  return kRules;
}

bool MarksChange(Ctl control) {
  const ControlSpec* c = Find(control);
  return c &&
         (c->kind == Kind::CheckBox || c->kind == Kind::OptionButton || c->kind == Kind::TextBox);
}

std::vector<Ctl> OptionArray(std::wstring_view key) {
  std::vector<const ControlSpec*> buttons;
  for (const ControlSpec& c : Controls())
    if (c.kind == Kind::OptionButton && key == c.key) buttons.push_back(&c);
  std::sort(buttons.begin(), buttons.end(),
            [](const ControlSpec* a, const ControlSpec* b) { return a->index < b->index; });
  std::vector<Ctl> ids;
  for (const ControlSpec* b : buttons) ids.push_back(b->id);
  return ids;
}

Ctl PreLoadSelection(std::wstring_view key) {
  // Every array starts on its first button but the countdown sound, which
  // starts on the beep.
  const auto buttons = OptionArray(key);
  if (buttons.empty()) return None;
  return key == L"CountType" ? optCount1 : buttons.front();
}

std::optional<Ctl> ButtonForStoredIndex(std::wstring_view key, int32_t stored) {
  if (stored < INT16_MIN || stored > INT16_MAX) return std::nullopt;  // no 16-bit index
  for (Ctl button : OptionArray(key))
    if (Find(button)->index == stored) return button;
  return std::nullopt;
}

Ctl NextInTabOrder(Ctl current, bool forward, const std::function<bool(Ctl)>& canTakeFocus) {
  std::vector<const ControlSpec*> order;
  for (const ControlSpec& c : Controls()) order.push_back(&c);
  std::sort(order.begin(), order.end(),
            [](const ControlSpec* a, const ControlSpec* b) { return a->tabIndex < b->tabIndex; });
  const int count = static_cast<int>(order.size());
  int at = -1;
  for (int i = 0; i < count; ++i)
    if (order[static_cast<size_t>(i)]->id == current) at = i;
  if (at < 0) at = forward ? count - 1 : 0;  // unknown: start from the ends
  for (int step = 1; step <= count; ++step) {
    const int i = ((forward ? at + step : at - step) % count + count) % count;
    const Ctl candidate = order[static_cast<size_t>(i)]->id;
    if (canTakeFocus(candidate)) return candidate;
  }
  return None;
}

std::optional<int> TabForShortcut(int keyCode, int shiftState) {
  if (shiftState != kAltMask) return std::nullopt;
  switch (keyCode) {
    case 'R':
      return 0;
    case 'C':
      return 1;
    case 'T':
      return 2;
    case 'H':
      return 3;
    default:
      return std::nullopt;
  }
}

}  // namespace kestrel::options
