#pragma once
// Where the built program and its helpers are, as Wine paths (set by CMake).

namespace e2e::paths {

inline constexpr const wchar_t* kProgram = KESTREL_E2E_PROGRAM;
inline constexpr const wchar_t* kSettingsDll = KESTREL_E2E_SETTINGS_DLL;
inline constexpr const wchar_t* kMenuProbe = KESTREL_E2E_MENU_PROBE;

}  // namespace e2e::paths
