#include "core/capture_control_rules.h"

namespace kestrel {

std::optional<std::wstring> ViewCommandLine(int32_t viewMode, std::wstring_view viewerPath,
                                            std::wstring_view vmodeSoft) {
  if (viewMode == kViewModeViewer) return std::wstring(viewerPath) + kViewerCommandTail;
  if (viewMode == kViewModeProgram && !vmodeSoft.empty()) return std::wstring(vmodeSoft);
  return std::nullopt;
}

}  // namespace kestrel
