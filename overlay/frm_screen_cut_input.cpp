#include <windowsx.h>

#include "overlay/frm_screen_cut.h"

// The overlay's pointer and keyboard input, turned into the selection's
// pointer events.

namespace kestrel {
namespace {

int32_t ModifiersOf(WPARAM keys) {
  int32_t shift = 0;
  if (keys & MK_SHIFT) shift |= kShiftMask;
  if (keys & MK_CONTROL) shift |= kCtrlMask;
  if (GetKeyState(VK_MENU) < 0) shift |= kAltMask;
  return shift;
}

int32_t ButtonOf(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      return kLeftButton;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return kRightButton;
    default:
      return kMiddleButton;
  }
}

bool IsPress(UINT message) {
  return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

}  // namespace

void frmScreenCut::OnMouseMove(WPARAM wParam, LPARAM lParam) {
  if (closing_) return;
  const PixelPoint at = EventPoint(lParam);
  if (heldButtons_ == 0 && RouteMove(scene_.PointerTargetAt(at)) == PointerRoute::Ignore) return;
  picView_MouseMove(ModifiersOf(wParam), at);
}

void frmScreenCut::OnButton(UINT message, WPARAM wParam, LPARAM lParam) {
  if (closing_) return;
  const PixelPoint at = EventPoint(lParam);
  const int32_t button = ButtonOf(message);
  const int32_t shift = ModifiersOf(wParam);
  const bool captured = heldButtons_ != 0;
  const auto target = scene_.PointerTargetAt(at);
  if (IsPress(message)) {
    const PointerRoute route = captured ? PointerRoute::Handle : RoutePress(target);
    if (route == PointerRoute::AsMove) picView_MouseMove(shift, at);
    if (route != PointerRoute::Handle) return;
    if (heldButtons_ == 0) SetCapture(window_);
    heldButtons_ |= button;
    picView_MouseDown(button, shift, at);
    return;
  }
  heldButtons_ &= ~button;
  if (captured && heldButtons_ == 0) ReleaseCapture();
  if (captured || RouteRelease(target) == PointerRoute::Handle) picView_MouseUp(button, shift, at);
}

bool frmScreenCut::OnKeyDown(WPARAM key) {
  PointerStep step;
  switch (key) {
    case VK_ESCAPE:
      // As the right click closes it; nothing while it opens or closes.
      if (!closing_ && !loading_) CloseWithoutCut();
      return true;
    case VK_LEFT:
      step = PointerStep::Left;
      break;
    case VK_RIGHT:
      step = PointerStep::Right;
      break;
    case VK_UP:
      step = PointerStep::Up;
      break;
    case VK_DOWN:
      step = PointerStep::Down;
      break;
    default:
      return false;
  }
  if (closing_ || loading_) return true;
  // The real pointer moves: the move it makes is handled as any other, so a
  // drag, the guide and the magnifier follow, Shift and Ctrl included.
  POINT pointer{};
  if (!GetCursorPos(&pointer) || !ScreenToClient(window_, &pointer)) return true;
  const PixelPoint to = StepPointer({pointer.x, pointer.y}, step, view_);
  POINT screen{to.x, to.y};
  if (ClientToScreen(window_, &screen)) SetCursorPos(screen.x, screen.y);
  return true;
}

}  // namespace kestrel
