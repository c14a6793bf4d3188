#pragma once
// What the layout probe inside the program and the driver agree on.

#include <windows.h>

namespace e2e {

// Sent by the driver to a window of the program; the probe's hook acts on it
// on the program's thread. wParam 0: report the window's layout; otherwise a
// change of resolution from lParam dpi to wParam dpi, as Windows makes it.
inline constexpr wchar_t kLayoutCommandMessage[] = L"KestrelE2E.LayoutCommand";
inline constexpr wchar_t kLayoutSinkClass[] = L"KestrelE2E.LayoutSink";
inline constexpr ULONG_PTR kLayoutReportTag = 0x4B4C4159;  // "KLAY"
inline constexpr char kLayoutProbeHookName[] = "LayoutProbeHook";

}  // namespace e2e
