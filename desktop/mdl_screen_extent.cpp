#include "desktop/mdl_screen_extent.h"

namespace kestrel {

bool AddMonitorToExtent(ScreenExtent& extent, std::optional<MonitorEdges> monitor) {
  if (!monitor) return false;
  if (monitor->right > extent.width) extent.width = monitor->right;
  if (monitor->bottom > extent.height) extent.height = monitor->bottom;
  return true;
}

ScreenExtent ComputeScreenExtent(ScreenExtent primary,
                                 std::span<const std::optional<MonitorEdges>> monitors) {
  for (const auto& monitor : monitors)
    if (!AddMonitorToExtent(primary, monitor)) break;
  return primary;
}

}  // namespace kestrel
