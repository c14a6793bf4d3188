#pragma once
// What the menu probe inside the program and the driver agree on.

#include <windows.h>

namespace e2e {

inline constexpr wchar_t kMenuSinkClass[] = L"KestrelE2E.MenuSink";
inline constexpr ULONG_PTR kMenuReportTag = 0x4B4D4E55;  // "KMNU"
inline constexpr char kMenuProbeHookName[] = "MenuProbeHook";

}  // namespace e2e
