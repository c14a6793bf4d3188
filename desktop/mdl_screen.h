#pragma once
// mdlScreen: the desktop extent over all monitors, in physical pixels, from the
// primary monitor's top-left corner.

#include <windows.h>

#include <cstdint>

namespace kestrel {

// Both 0 until the first computation; kept between computations.
extern int32_t ScreenExtentWidth;
extern int32_t ScreenExtentHeight;

// Recomputes ScreenExtentWidth and ScreenExtentHeight: the primary display's
// size, grown by the right and bottom edges of every monitor.
void UpdateScreenExtent();

// The enumeration callback: grows the extent by one monitor; false ends the
// enumeration when the monitor's information cannot be read.
BOOL CALLBACK AddMonitorToExtent(HMONITOR monitor, HDC dc, LPRECT rect, LPARAM data);

}  // namespace kestrel
