#pragma once
// frmScreenCut: the full-screen overlay over the frozen desktop on which the
// user drags the rectangle to cut. One object for the whole run; its window
// exists only while a capture is in progress.

#include <windows.h>

#include <cstdint>

#include "overlay/grey_pulse.h"
#include "overlay/pointer_guide.h"
#include "overlay/scene.h"
#include "overlay/scene_painter.h"
#include "overlay/selection.h"
#include "overlay/surface.h"

namespace kestrel {

// Class name and caption by which a test driver finds the overlay window.
inline constexpr const char* kScreenCutClassName = "Kestrel5.frmScreenCut";
inline constexpr const char* kScreenCutCaption = "frmScreenCut";

class frmScreenCut {
 public:
  explicit frmScreenCut(HINSTANCE instance);
  ~frmScreenCut();
  frmScreenCut(const frmScreenCut&) = delete;
  frmScreenCut& operator=(const frmScreenCut&) = delete;

  // Runs the opening steps and shows the overlay topmost; does nothing more
  // when it is already loaded.
  void Load();

  // Cuts the last area from the frozen image when a cut exists, then unloads.
  void dsCutRetry();

  // Destroys the window and frees the frozen image.
  void Unload();

  bool IsLoaded() const { return window_ != nullptr; }

 private:
  static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool CreateFormWindow();

  void Form_Load();
  void Form_Resize();
  void Form_Paint();
  void CaptureScreen();
  void CutScreenArea(Point16 a, Point16 b);
  void CloseWithCut(Point16 first, Point16 second);
  void CloseWithoutCut();

  // Pointer events of picView, already routed past the guide elements.
  void picView_MouseMove(int32_t shift, PixelPoint at);
  void picView_MouseDown(int32_t button, int32_t shift, PixelPoint at);
  void picView_MouseUp(int32_t button, int32_t shift, PixelPoint at);
  void OnButton(UINT message, WPARAM wParam, LPARAM lParam);
  void OnMouseMove(WPARAM wParam, LPARAM lParam);
  // Esc and the arrow keys; false for any other key.
  bool OnKeyDown(WPARAM key);
  void timerCutAreaColor_Timer();
  void SetColourTimer(bool enabled);

  void Carry(const SelectionSteps& steps);
  // The pointer-move handling after the selection rules: texts, guide
  // placement, crosshair and rectangle, magnifier, guide refresh.
  void ApplyPointerMove(const PointerMove& move);
  void PlacePointerGuide(PixelPoint at, const GuideSettings& guide);
  void RefreshPointerGuide(const GuideSettings& guide);
  void FillLupe(PixelPoint at);
  GuideSettings Guide() const;
  void InvalidateDirty();
  GridSettings Grid() const;
  PixelPoint EventPoint(LPARAM lParam) const;

  // The slot of timerCutAreaColor on the overlay window.
  static constexpr UINT_PTR kTimerCutAreaColorId = 1;

  HINSTANCE instance_;
  HWND window_ = nullptr;
  Size view_;           // picView's size: the client area, also without an image
  Surface picView_;     // the frozen image
  Surface backBuffer_;  // where a repaint is composed
  Surface picLupe_;     // the magnifier's source block
  Surface imgLupe_;     // the block enlarged
  Scene scene_;
  SelectionMachine selection_;
  ScenePainter painter_;
  // Kept from one opening to the next.
  GuideSides sides_;
  GreyPulse pulse_;
  UniqueCursor transparentCursor_;
  bool timerCutAreaColor_ = false;
  bool loading_ = false;
  // Set once the overlay is hiding or unloading: events still queued for it
  // must not start a second cut.
  bool closing_ = false;
  // Buttons pressed on picView and still held: picView has the mouse capture.
  int32_t heldButtons_ = 0;
};

}  // namespace kestrel
