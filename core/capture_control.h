#pragma once
// Capture control: starting a cut and a cut of the last area, the hand-over of
// a finished cut to the clipboard and the viewer, and the capture state the
// tray menu and the overlay share. Nothing of it is persisted.

#include <windows.h>

#include "overlay/geometry.h"
#include "overlay/surface.h"

namespace kestrel {

// A cut has been finished since start-up; never reset.
extern bool CutExists;
// The corners of the last cut as they were dragged, not ordered.
extern Point16 LastCutStart;
extern Point16 LastCutEnd;

// The resident window owns the clipboard hand-over, the overlay and the
// retained picture. Its load makes them; they live for the whole run.
void InitCaptureControl(HINSTANCE instance, HWND residentWindow);
// The resident window's unload: closes an open overlay and starts no cut
// any more. It may come while overlay code runs (a close from outside
// reaches us whenever pending messages run), so the overlay object stays.
void EndCaptureControl();
// After the message loop has ended, when no code of the overlay runs:
// frees the overlay object and the retained picture.
void CloseCaptureControl();

// picBackgroundCut: the picture of the last cut, exactly the selected pixels.
// Empty before the first cut and after a 0 x 0 cut.
Surface& picBackgroundCut();

// Shows the selection overlay and returns at once.
void StartScreenCut();

// Cuts the remembered area from a fresh picture of the screen when a cut
// exists; returns when the overlay has been unloaded again.
void RetryScreenCut();

// Makes the window topmost and shows it without moving or sizing it.
void SetTopMost(HWND window);

// Replaces the clipboard's contents by a copy of the retained picture as
// CF_BITMAP and sets CutExists, also when the clipboard stays busy or the
// copy cannot be made (the clipboard then keeps what it held).
void dsCopyToClipboard();

// Runs the view action set by "ViewMode"; every failure is silent.
void ShowCutPicture();

// Empties the clipboard; a clipboard that stays busy is left as it is.
void ClearClipboard();

}  // namespace kestrel
