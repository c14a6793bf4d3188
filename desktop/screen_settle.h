#pragma once
// Waiting for other programs to repaint what one of our windows uncovered.
// A menu of ours that has just closed leaves its picture on the screen until
// the windows below it (of other processes) have redrawn themselves; a copy
// of the screen taken before that would hold the menu.

#include <windows.h>

namespace kestrel {

// Waits, bounded, until every visible top-level window of another process
// and the desktop have handled the repaint they were due and gone back to
// their message loops, and for a short floor at least. Our own pending
// messages run meanwhile. A window that does not answer (a hung program) is
// given up at the bound.
void WaitForOtherWindowsToRepaint();

}  // namespace kestrel
