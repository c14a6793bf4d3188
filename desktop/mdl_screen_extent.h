#pragma once
// The desktop extent the overlay covers, as a pure function of the monitor
// rectangles. No windows.h here.

#include <cstdint>
#include <optional>
#include <span>

namespace kestrel {

// Right and bottom edges of the extent; it spans from (0, 0) to them.
struct ScreenExtent {
  int32_t width = 0;
  int32_t height = 0;
  friend bool operator==(const ScreenExtent&, const ScreenExtent&) = default;
};

// The far edges of one monitor's rectangle, the only part the extent uses.
struct MonitorEdges {
  int32_t right = 0;
  int32_t bottom = 0;
};

// One monitor of the enumeration: its rectangle grows the extent to its right
// and bottom edges (signed comparisons). Returns false when the monitor's
// information could not be read (nullopt): the enumeration then ends and the
// values gathered so far stand.
bool AddMonitorToExtent(ScreenExtent& extent, std::optional<MonitorEdges> monitor);

// The primary display's size, grown by every monitor in the order the system
// reports them, up to the first unreadable one. Parts of monitors left of or
// above the primary one lie outside.
ScreenExtent ComputeScreenExtent(ScreenExtent primary,
                                 std::span<const std::optional<MonitorEdges>> monitors);

}  // namespace kestrel
