#pragma once
// The rules of frmOptions without windows: the 16-bit conversion of the two
// numeric boxes, what Apply assigns, which controls enable which, the radio
// selection for stored values, the focus order of Tab and the tab shortcuts.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/options_table.h"
#include "options/options_layout.h"

namespace kestrel::options {

inline constexpr const wchar_t* kMessageCaption = L"Kestrel5.2";
inline constexpr const wchar_t* kGridSizeMessage =
    L"グリッドサイズはピクセル数を指定してください！";
inline constexpr const wchar_t* kTimerMessage = L"タイマーの待ち時間は秒数を指定してください！";

// The number test of the two numeric boxes: the value a whole text reads
// as, or nothing when it is no number. The dialog passes the platform's
// locale-aware test (ReadNumberInUserLocale), which needs the platform.
using NumberReader = std::function<std::optional<double>(const std::wstring& text)>;

// A parsed number as a 16-bit option value: rounded to the nearest integer,
// halves to the even neighbour (2.5 gives 2, 3.5 gives 4); nothing when the
// rounded value lies outside -32768 ... 32767.
std::optional<int16_t> ToInt16(double value);

// What the dialog's controls hold when Apply runs.
struct ControlValues {
  std::function<bool(Ctl)> checked;  // check box ticked, or option button selected
  std::function<std::wstring(Ctl)> text;
};

struct Assignment {
  const wchar_t* key;
  OptionType type;
  int16_t number = 0;
  bool flag = false;
  std::wstring text;
};

// Apply, with the number test `readNumber`: either the numeric box whose text was refused (the grid
// size is tested first) with its message, or the assignments in the settings table's order. A
// number that does not fit 16 bits is refused like a non-number, before anything is assigned. An
// option-button array without a selected button assigns nothing.
struct ApplyPlan {
  Ctl rejected = Ctl::None;
  const wchar_t* message = nullptr;
  std::vector<Assignment> assignments;
};
ApplyPlan PlanApply(const ControlValues& values, const NumberReader& readNumber);

// The enabling rules, in the order they run on opening.
struct EnablingRule {
  const char* name;
  Ctl enabler;               // the check box or option button whose state decides
  std::vector<Ctl> sources;  // clicking one of these runs the rule
  std::vector<Ctl> targets;  // enabled exactly when the enabler is on
};
std::span<const EnablingRule> EnablingRules();

// Whether a click on the control or a change of its text marks a change for
// the Apply button: every check box, option button and text box does.
bool MarksChange(Ctl control);

// The option buttons of the array that edits a key, by index.
std::vector<Ctl> OptionArray(std::wstring_view key);

// The button selected before loading in the array of the key.
Ctl PreLoadSelection(std::wstring_view key);

// The button a stored index selects; nothing when the array has no button
// with that index (the selection before loading then stays).
std::optional<Ctl> ButtonForStoredIndex(std::wstring_view key, int32_t stored);

// The next control of the focus order from `current` (the tab-index column),
// forwards or backwards, wrapping round; `canTakeFocus` says which controls
// may take it now. Ctl::None when none can.
Ctl NextInTabOrder(Ctl current, bool forward, const std::function<bool(Ctl)>& canTakeFocus);

// The tab a key selects when Alt alone is held (shift state 4 = Alt; Shift 1
// and Ctrl 2 must not be held): R 0, C 1, T 2, H 3. Nothing otherwise.
inline constexpr int kShiftMask = 1, kCtrlMask = 2, kAltMask = 4;
std::optional<int> TabForShortcut(int keyCode, int shiftState);

}  // namespace kestrel::options
