#pragma once
// Pure rules of the capture control. No windows.h here.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

inline constexpr int32_t kViewModeViewer = 1;
inline constexpr int32_t kViewModeProgram = 2;
inline constexpr const wchar_t* kViewerCommandTail = L"\\Pictoria2.exe ?clipboard";

// The command line the view action starts: "ViewMode" 1 the viewer's folder
// followed by the viewer and its argument, 2 "VModeSoft" unchanged (no quotes
// added); nothing for any other mode or an empty "VModeSoft".
std::optional<std::wstring> ViewCommandLine(int32_t viewMode, std::wstring_view viewerPath,
                                            std::wstring_view vmodeSoft);

// A clipboard held by another program is tried this often, this far apart, so
// a briefly busy clipboard does not lose a cut and the wait stays under a
// quarter of a second.
inline constexpr int kClipboardOpenAttempts = 5;
inline constexpr uint32_t kClipboardRetryMilliseconds = 50;

}  // namespace kestrel
