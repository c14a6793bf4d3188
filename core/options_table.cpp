#include "core/options_table.h"

namespace kestrel {
namespace {

constexpr OptionDefault Integer(int16_t n) { return {OptionType::Integer, n, false, L""}; }
constexpr OptionDefault Boolean(bool b) { return {OptionType::Boolean, 0, b, L""}; }
constexpr OptionDefault Text(const wchar_t* t) { return {OptionType::String, 0, false, t}; }

}  // namespace

bool IsViewerAvailable(std::wstring_view viewerPath, int32_t viewerMinor) {
  return !viewerPath.empty() && viewerMinor >= 1;
}

std::array<OptionRow, kOptionCount> OptionsTable(bool viewerAvailable) {
  return {{
      {kDoubleClickKey, Integer(0)},
      {kViewModeKey, Integer(viewerAvailable ? 1 : 0)},
      {kVModeSoftKey, Text(L"")},
      {kPointerGuideKey, Boolean(true)},
      {kPGFrameKey, Boolean(true)},
      {kPGPositionKey, Boolean(true)},
      {kPGTypeKey, Integer(0)},
      {kPGSizeKey, Boolean(true)},
      {kPGDescriptionKey, Boolean(true)},
      {kPGLupeKey, Boolean(true)},
      {kCtrlGridKey, Boolean(true)},
      {kCGridSizeKey, Integer(16)},
      {kCutterModeKey, Integer(0)},
      {kCutTimerTimeKey, Integer(3)},
      {L"CountType", Integer(1)},
      {L"CountWave", Text(L"")},
      {L"CountSeries", Boolean(false)},
      {kHotkeyKey, Boolean(false)},
  }};
}

std::wstring FolderOf(std::wstring_view filePath) {
  const size_t separator = filePath.find_last_of(L"\\/");
  if (separator == std::wstring_view::npos) return {};
  return std::wstring(filePath.substr(0, separator));
}

}  // namespace kestrel
