#pragma once
// Where the built program and its helpers are, as Wine paths (set by CMake).

namespace e2e::paths {

inline constexpr const wchar_t* kProgram = KESTREL_E2E_PROGRAM;
inline constexpr const wchar_t* kSettingsDll = KESTREL_E2E_SETTINGS_DLL;
inline constexpr const wchar_t* kMenuProbe = KESTREL_E2E_MENU_PROBE;
inline constexpr const wchar_t* kSoundProbe = KESTREL_E2E_SOUND_PROBE;
inline constexpr const wchar_t* kLayoutProbe = KESTREL_E2E_LAYOUT_PROBE;
inline constexpr const wchar_t* kPatternWindow = KESTREL_E2E_PATTERN_WINDOW;
// Folders that hold the stand-in viewer Pictoria2.exe.
inline constexpr const wchar_t* kViewerFolder = KESTREL_E2E_VIEWER_FOLDER;
inline constexpr const wchar_t* kViewerFolderWithBlanks = KESTREL_E2E_VIEWER_FOLDER_BLANKS;

}  // namespace e2e::paths
