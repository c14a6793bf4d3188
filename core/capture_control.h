#pragma once
// Capture control: starting a cut and a cut of the last area, and the capture
// state the tray menu reads. The overlay that performs a cut arrives with its
// own change; until then the two starts do nothing and no cut ever exists.

namespace kestrel {

// A cut has been finished since start-up; never reset.
extern bool CutExists;

// Shows the selection overlay and returns at once. Not built yet: does nothing.
void StartScreenCut();

// Cuts the remembered area from a fresh picture of the screen when a cut
// exists. Not built yet: does nothing.
void RetryScreenCut();

// Puts the retained picture of the last cut on the clipboard and sets
// CutExists. Not built yet: does nothing.
void dsCopyToClipboard();

// Runs the view action set by "ViewMode". Not built yet: does nothing.
void ShowCutPicture();

}  // namespace kestrel
