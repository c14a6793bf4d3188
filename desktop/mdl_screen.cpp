#include "desktop/mdl_screen.h"

#include "desktop/mdl_screen_extent.h"

namespace kestrel {

int32_t ScreenExtentWidth = 0;
int32_t ScreenExtentHeight = 0;

namespace {
// The record the monitor query fills in its single-byte-character form.
static_assert(sizeof(MONITORINFOEXA) == 72);
}  // namespace

void UpdateScreenExtent() {
  // The program is DPI aware, so these are physical pixels.
  ScreenExtentWidth = GetSystemMetrics(SM_CXSCREEN);
  ScreenExtentHeight = GetSystemMetrics(SM_CYSCREEN);
  EnumDisplayMonitors(nullptr, nullptr, &AddMonitorToExtent, 0);
}

BOOL CALLBACK AddMonitorToExtent(HMONITOR monitor, HDC, LPRECT, LPARAM) {
  MONITORINFOEXA info{};
  info.cbSize = sizeof(info);
  std::optional<MonitorEdges> edges;
  if (GetMonitorInfoA(monitor, &info))
    edges = MonitorEdges{info.rcMonitor.right, info.rcMonitor.bottom};
  ScreenExtent extent{ScreenExtentWidth, ScreenExtentHeight};
  const bool goOn = AddMonitorToExtent(extent, edges);
  ScreenExtentWidth = extent.width;
  ScreenExtentHeight = extent.height;
  return goOn ? TRUE : FALSE;
}

}  // namespace kestrel
