#pragma once
// The program's one table of settings: the published identity entries and the
// 18 user options with their types and defaults. Pure data and rules; the
// settings server is reached elsewhere (mdl_kestrel.cpp).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

// Numbered as the settings server's option types (the automation variant
// types); mdl_kestrel.cpp checks the numbers against the generated header.
enum class OptionType : int32_t { Integer = 2, String = 8, Boolean = 11 };

// A default value: exactly one of the members is meaningful, chosen by `type`.
struct OptionDefault {
  OptionType type;
  int16_t number = 0;
  bool flag = false;
  const wchar_t* text = L"";
};

struct OptionRow {
  const wchar_t* key;
  OptionDefault value;
};

inline constexpr size_t kOptionCount = 18;

// Settings identities (application name and section).
inline constexpr const wchar_t* kViewerSoftwareName = L"Pictoria2";
inline constexpr const wchar_t* kAppSoftwareName = L"Kestrel5";
inline constexpr const wchar_t* kAppSectionName = L"App";
inline constexpr const wchar_t* kOptionsSectionName = L"Options";

// Keys of the published identity entries.
inline constexpr const wchar_t* kPathKey = L"Path";
inline constexpr const wchar_t* kMinorKey = L"Minor";
// The viewer's minor version default, a text the server converts to 0.
inline constexpr const wchar_t* kViewerMinorDefault = L"0";

// Option keys read by the program's windows.
inline constexpr const wchar_t* kDoubleClickKey = L"DoubleClick";
inline constexpr const wchar_t* kViewModeKey = L"ViewMode";
inline constexpr const wchar_t* kCutterModeKey = L"CutterMode";
inline constexpr const wchar_t* kCutTimerTimeKey = L"CutTimerTime";
inline constexpr const wchar_t* kHotkeyKey = L"Hotkey";
inline constexpr const wchar_t* kVModeSoftKey = L"VModeSoft";
inline constexpr const wchar_t* kPointerGuideKey = L"PointerGuide";
inline constexpr const wchar_t* kPGFrameKey = L"PGFrame";
inline constexpr const wchar_t* kPGPositionKey = L"PGPosition";
inline constexpr const wchar_t* kPGTypeKey = L"PGType";
inline constexpr const wchar_t* kPGSizeKey = L"PGSize";
inline constexpr const wchar_t* kPGDescriptionKey = L"PGDescription";
inline constexpr const wchar_t* kPGLupeKey = L"PGLupe";
inline constexpr const wchar_t* kCtrlGridKey = L"CtrlGrid";
inline constexpr const wchar_t* kCGridSizeKey = L"CGridSize";
inline constexpr const wchar_t* kCountTypeKey = L"CountType";
inline constexpr const wchar_t* kCountWaveKey = L"CountWave";
inline constexpr const wchar_t* kCountSeriesKey = L"CountSeries";

// True when the viewer has published a folder and a minor version of at
// least 1 (the viewer 2.1 or later is installed).
bool IsViewerAvailable(std::wstring_view viewerPath, int32_t viewerMinor);

// The 18 options in creation, load and save order. Only "ViewMode" depends on
// the viewer: 1 when it is available, else 0.
std::array<OptionRow, kOptionCount> OptionsTable(bool viewerAvailable);

// The folder that holds a file, without a trailing separator:
// "C:\\a\\b.exe" gives "C:\\a"; a bare file name gives the empty text.
std::wstring FolderOf(std::wstring_view filePath);

}  // namespace kestrel
