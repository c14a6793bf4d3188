#include "overlay/frm_screen_cut.h"

#include <windowsx.h>

#include <algorithm>
#include <array>
#include <vector>

#include "common/foreground.h"
#include "common/message_pump.h"
#include "common/open_trace.h"
#include "common/test_hooks.h"
#include "core/capture_control.h"
#include "core/mdl_kestrel.h"
#include "core/options_table.h"
#include "desktop/mdl_screen.h"
#include "overlay/magnifier.h"
#include "overlay/overlay_texts.h"

namespace kestrel {
namespace {

constexpr UINT kTimerCutAreaColorInterval = 100;  // milliseconds
constexpr int kCursorSide = 32;

frmScreenCut* FormOf(HWND window) {
  return reinterpret_cast<frmScreenCut*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// A cursor with nothing to show: AND mask all ones, XOR mask all zeros.
UniqueCursor CreateTransparentCursor(HINSTANCE instance) {
  constexpr size_t kMaskBytes = kCursorSide * kCursorSide / 8;
  std::array<BYTE, kMaskBytes> andMask;
  andMask.fill(0xFF);
  std::array<BYTE, kMaskBytes> xorMask{};
  return UniqueCursor(
      CreateCursor(instance, 0, 0, kCursorSide, kCursorSide, andMask.data(), xorMask.data()));
}

Colour SystemColour(int index) { return static_cast<Colour>(GetSysColor(index)); }

// The rectangles of a region, in its own coordinates.
std::vector<RECT> RectsOf(HRGN region) {
  const DWORD bytes = GetRegionData(region, 0, nullptr);
  if (bytes == 0) return {};
  std::vector<BYTE> buffer(bytes);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  if (GetRegionData(region, bytes, data) == 0) return {};
  const auto* first = reinterpret_cast<const RECT*>(data->Buffer);
  return std::vector<RECT>(first, first + data->rdh.nCount);
}

// The region less the rectangles; null when the platform refuses a region.
UniqueRegion Without(HRGN region, const std::vector<Rect>& rects) {
  UniqueRegion rest(CreateRectRgn(0, 0, 0, 0));
  const UniqueRegion one(CreateRectRgn(0, 0, 0, 0));
  if (!rest || !one || CombineRgn(rest.get(), region, nullptr, RGN_COPY) == ERROR)
    return UniqueRegion();
  for (const Rect& r : rects) {
    SetRectRgn(one.get(), r.x, r.y, r.x + r.width, r.y + r.height);
    if (CombineRgn(rest.get(), rest.get(), one.get(), RGN_DIFF) == ERROR) return UniqueRegion();
  }
  return rest;
}

// The first region less the second; null when the platform refuses a region.
UniqueRegion Without(HRGN region, HRGN part) {
  UniqueRegion rest(CreateRectRgn(0, 0, 0, 0));
  if (!rest || CombineRgn(rest.get(), region, part, RGN_DIFF) == ERROR) return UniqueRegion();
  return rest;
}

void Blit(HDC to, HDC from, const RECT& r) {
  BitBlt(to, r.left, r.top, r.right - r.left, r.bottom - r.top, from, r.left, r.top, SRCCOPY);
}

}  // namespace

frmScreenCut::frmScreenCut(HINSTANCE instance)
    : instance_(instance),
      painter_(instance),
      transparentCursor_(CreateTransparentCursor(instance)) {}

frmScreenCut::~frmScreenCut() { Unload(); }

bool frmScreenCut::CreateFormWindow() {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &FormProc;
  windowClass.hInstance = instance_;
  windowClass.hCursor = transparentCursor_.get();
  windowClass.lpszClassName = kScreenCutClassName;
  if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  // A tool window: the overlay shows no taskbar button. It is made at the
  // last opening's extent: while the screen stays as it was, placing it
  // then has nothing to do.
  CreateWindowExA(WS_EX_TOOLWINDOW, kScreenCutClassName, kScreenCutCaption, WS_POPUP, 0, 0,
                  ScreenExtentWidth, ScreenExtentHeight, nullptr, nullptr, instance_, this);
  return window_ != nullptr;
}

LRESULT CALLBACK frmScreenCut::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* form =
        static_cast<frmScreenCut*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    form->window_ = window;
  }
  frmScreenCut* form = FormOf(window);
  if (form && form->window_ == window) return form->HandleMessage(message, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT frmScreenCut::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      Form_Resize();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel; erasing first would flicker
    case WM_PAINT:
      Form_Paint();
      return 0;
    case WM_SETCURSOR:
      SetCursor(transparentCursor_.get());
      return TRUE;
    case WM_MOUSEMOVE:
      OnMouseMove(wParam, lParam);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      OnButton(message, wParam, lParam);
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (OnKeyDown(wParam)) return 0;
      return DefWindowProcA(window_, message, wParam, lParam);
    case WM_CAPTURECHANGED:
      heldButtons_ = 0;
      return 0;
    case WM_DPICHANGED:
      // Spread over monitors of different scales, the overlay hears of a new
      // one when its largest part changes monitor. It works in physical
      // pixels on all of them: nothing is resized or scaled.
      return 0;
    case WM_TIMER:
      if (wParam == kTimerCutAreaColorId) timerCutAreaColor_Timer();
      return 0;
    case WM_CLOSE:
      // Closing from outside cancels like a right click: nothing is cut.
      CloseWithoutCut();
      return 0;
    case WM_NCDESTROY: {
      const HWND window = std::exchange(window_, nullptr);
      return DefWindowProcA(window, message, wParam, lParam);
    }
    default:
      return DefWindowProcA(window_, message, wParam, lParam);
  }
}

void frmScreenCut::Load() {
  if (window_ || loading_) return;
  loading_ = true;
  OpenTraceStep("load");
  if (CreateFormWindow()) Form_Load();
  loading_ = false;
}

void frmScreenCut::Form_Load() {
  OpenTraceStep("window");
  UpdateScreenExtent();
  OpenTraceStep("extent");
  DoEvents();
  OpenTraceStep("events");
  if (!window_) return;  // the pending messages ended the program
  closing_ = false;
  heldButtons_ = 0;
  RECT placed{};
  GetWindowRect(window_, &placed);
  if (placed.left != 0 || placed.top != 0 || placed.right != ScreenExtentWidth ||
      placed.bottom != ScreenExtentHeight)
    SetWindowPos(window_, nullptr, 0, 0, ScreenExtentWidth, ScreenExtentHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  else
    Form_Resize();  // made at its place, whether or not a WM_SIZE told picView
  OpenTraceStep("placed");
  CaptureScreen();
  OpenTraceStep("captured");
  selection_.Open();
  POINT pointer{};
  GetCursorPos(&pointer);
  ScreenToClient(window_, &pointer);
  painter_.Open();
  OpenTraceStep("fonts");
  scene_.Reset(
      view_, {pointer.x, pointer.y},
      {SystemColour(COLOR_WINDOWTEXT), SystemColour(COLOR_BTNTEXT), SystemColour(COLOR_INFOBK)},
      painter_.Measure());
  OpenTraceStep("scene");
  InvalidateDirty();
  SetColourTimer(true);
  OpenTraceStep("invalidated");
  SetTopMost(window_);
  // Esc and the arrow keys are meant for the overlay, whichever window had
  // the keyboard before it opened.
  TakeKeyboard(window_);
  OpenTraceStep("shown");
}

void frmScreenCut::Form_Resize() {
  // picView fills the client area. The back buffer follows at the first
  // paint, so that making it does not delay the opening.
  RECT client{};
  GetClientRect(window_, &client);
  view_ = {client.right, client.bottom};
  if (client.right == picView_.width() && client.bottom == picView_.height()) return;
  picView_ = AllocationRefused(Allocation::FrozenImage)
                 ? Surface()
                 : Surface::LikeScreen(client.right, client.bottom);
  backBuffer_ = Surface();
}

void frmScreenCut::CaptureScreen() {
  if (!picView_) return;
  const HWND desktop = GetDesktopWindow();
  const WindowDC screen(desktop);
  if (screen.get() && BitBlt(picView_.dc(), 0, 0, picView_.width(), picView_.height(), screen.get(),
                             0, 0, SRCCOPY)) {
    return;
  }
  // The image is cleared to the background colour only when the copy fails:
  // a copy that succeeds covers every pixel, and a full-screen fill before it
  // would only delay the opening.
  SetDCBrushColor(picView_.dc(), GetSysColor(COLOR_BACKGROUND));
  const RECT all{0, 0, picView_.width(), picView_.height()};
  FillRect(picView_.dc(), &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void frmScreenCut::Form_Paint() {
  OpenTraceStep("paint");
  const UniqueRegion update(CreateRectRgn(0, 0, 0, 0));
  const int kind = update ? GetUpdateRgn(window_, update.get(), FALSE) : ERROR;
  PAINTSTRUCT paint{};
  const HDC dc = BeginPaint(window_, &paint);
  if (dc && kind != ERROR && kind != NULLREGION) {
    // Only the invalid rectangles are repainted: a pointer move then costs
    // about the same on any screen size. Where no element shows (the
    // crosshair's old lines), the window takes the frozen image straight;
    // the rest is composed in the back buffer, where the frozen image is
    // restored only beneath what the opaque elements (lines, filled boxes)
    // do not cover. Each copy is one call over the bounds, clipped: the
    // crosshair cuts the region into some twenty rectangles, and a call per
    // rectangle cost more than the pixels it copied. While only lines and
    // filled boxes show (the crosshair alone, as at the opening), they cover
    // every pixel they stand on: drawn straight onto the window they still
    // draw each pixel once, and no back buffer is made or copied.
    const std::vector<RECT> rects = RectsOf(update.get());
    RECT bounds{};
    GetRgnBox(update.get(), &bounds);
    const std::vector<Rect> shown = scene_.ShownBounds();
    const std::vector<Rect> opaque = scene_.OpaqueBounds();
    const bool straight = shown.size() == opaque.size();
    if (!straight && !backBuffer_) backBuffer_ = Surface(picView_.width(), picView_.height());
    OpenTraceStep("backbuffer");
    const HDC compose = !straight && backBuffer_ ? backBuffer_.dc() : dc;
    UniqueRegion composed;
    HRGN composedPart = update.get();
    if (picView_) {
      const UniqueRegion direct = Without(update.get(), shown);
      if (direct) composed = Without(update.get(), direct.get());
      if (composed) {
        composedPart = composed.get();
        SelectClipRgn(dc, direct.get());
        Blit(dc, picView_.dc(), bounds);
      }
      const UniqueRegion background = Without(composedPart, opaque);
      RECT box{};
      if (!background || GetRgnBox(background.get(), &box) != NULLREGION) {
        SelectClipRgn(compose, background ? background.get() : composedPart);
        Blit(compose, picView_.dc(), bounds);
      }
    } else {
      // No frozen image could be made: picView shows its background colour.
      FillRgn(compose, update.get(), GetSysColorBrush(COLOR_BACKGROUND));
    }
    OpenTraceStep("frozen");
    SelectClipRgn(compose, composedPart);
    painter_.Paint(compose, scene_, imgLupe_, rects);
    SelectClipRgn(compose, nullptr);
    if (compose != dc) {
      SelectClipRgn(dc, composedPart);
      Blit(dc, compose, bounds);
    }
    SelectClipRgn(dc, nullptr);
  }
  EndPaint(window_, &paint);
  OpenTraceEnd("program", "painted");
}

void frmScreenCut::InvalidateDirty() {
  const std::vector<Rect> dirty = scene_.TakeDirty();
  if (dirty.empty()) return;
  // One invalidation per event: every call is a round trip to the window
  // manager, while building the union of the rectangles is local.
  const UniqueRegion all(CreateRectRgn(0, 0, 0, 0));
  const UniqueRegion one(CreateRectRgn(0, 0, 0, 0));
  for (const Rect& r : dirty) {
    if (all && one) {
      SetRectRgn(one.get(), r.x, r.y, r.x + r.width, r.y + r.height);
      CombineRgn(all.get(), all.get(), one.get(), RGN_OR);
    } else {
      const RECT rect{r.x, r.y, r.x + r.width, r.y + r.height};
      InvalidateRect(window_, &rect, FALSE);
    }
  }
  if (all && one) InvalidateRgn(window_, all.get(), FALSE);
}

PixelPoint frmScreenCut::EventPoint(LPARAM lParam) const {
  // A captured pointer can leave the overlay (onto a monitor left of the
  // primary one); the selection stays on the frozen image.
  const int32_t x = GET_X_LPARAM(lParam);
  const int32_t y = GET_Y_LPARAM(lParam);
  return {std::clamp(x, 0, view_.width), std::clamp(y, 0, view_.height)};
}

GridSettings frmScreenCut::Grid() const {
  return {OptionIsTrue(kCtrlGridKey), OptionInteger(kCGridSizeKey)};
}

GuideSettings frmScreenCut::Guide() const {
  GuideSettings guide;
  guide.pointerGuide = OptionIsTrue(kPointerGuideKey);
  guide.frame = OptionIsTrue(kPGFrameKey);
  guide.position = OptionIsTrue(kPGPositionKey);
  guide.type = OptionInteger(kPGTypeKey);
  guide.size = OptionIsTrue(kPGSizeKey);
  guide.description = OptionIsTrue(kPGDescriptionKey);
  guide.lupe = OptionIsTrue(kPGLupeKey);
  return guide;
}

void frmScreenCut::picView_MouseMove(int32_t shift, PixelPoint at) {
  Carry(selection_.MouseMove(at, shift, Grid()));
}

void frmScreenCut::picView_MouseDown(int32_t button, int32_t shift, PixelPoint at) {
  Carry(selection_.MouseDown(button, shift, at, Grid(), CutExists));
}

void frmScreenCut::picView_MouseUp(int32_t button, int32_t shift, PixelPoint at) {
  Carry(selection_.MouseUp(button, shift, at, Grid()));
}

void frmScreenCut::Carry(const SelectionSteps& steps) {
  for (const SelectionAction& step : steps) {
    switch (step.kind) {
      case SelectionAction::Kind::Move:
        ApplyPointerMove(step.move);
        break;
      case SelectionAction::Kind::ToggleColourTimer:
        SetColourTimer(!timerCutAreaColor_);
        break;
      case SelectionAction::Kind::FlipLupe:
        SetOptionBoolean(kPGLupeKey, !OptionIsTrue(kPGLupeKey));
        break;
      case SelectionAction::Kind::RefreshGuide:
        RefreshPointerGuide(Guide());
        break;
      case SelectionAction::Kind::SetDescription:
        scene_.SetCaption(ElementId::lblDescription, DescriptionCaption(step.description));
        break;
      case SelectionAction::Kind::CloseWithCut:
        CloseWithCut(step.first, step.second);
        return;
      case SelectionAction::Kind::CloseWithoutCut:
        CloseWithoutCut();
        return;
    }
  }
  InvalidateDirty();
}

void frmScreenCut::SetColourTimer(bool enabled) {
  timerCutAreaColor_ = enabled;
  if (enabled)
    SetTimer(window_, kTimerCutAreaColorId, kTimerCutAreaColorInterval, nullptr);
  else
    KillTimer(window_, kTimerCutAreaColorId);
}

void frmScreenCut::ApplyPointerMove(const PointerMove& move) {
  const GuideSettings guide = Guide();
  scene_.SetCaption(ElementId::lblPointerGuide, move.selecting
                                                    ? DraggingGuideText(move.at, move.area, guide)
                                                    : WaitingGuideText(move.at, guide));
  PlacePointerGuide(move.at, guide);
  scene_.ApplyPointerMove(move);
  if (guide.lupe) FillLupe(move.at);
  RefreshPointerGuide(guide);
}

void frmScreenCut::PlacePointerGuide(PixelPoint at, const GuideSettings& guide) {
  if (!guide.pointerGuide) return;
  const Rect& frame = scene_[ElementId::shpPointerGuide].bounds;
  const GuidePlacement placed =
      kestrel::PlacePointerGuide(at, scene_.view(), {frame.width, frame.height}, sides_, guide);
  sides_ = placed.sides;
  scene_.ApplyGuideLayout(MovePointerGuide(placed.origin, sides_.GuideOnLeft, frame.width, guide));
}

void frmScreenCut::RefreshPointerGuide(const GuideSettings& guide) {
  if (!guide.pointerGuide) return;
  const Rect& frame = scene_[ElementId::shpPointerGuide].bounds;
  const int32_t captionWidth = FrameFollowsCaption(guide)
                                   ? painter_.TextWidth(scene_[ElementId::lblPointerGuide].caption)
                                   : 0;
  scene_.ApplyGuideRefresh(
      kestrel::RefreshPointerGuide({frame.width, frame.height}, captionWidth, guide));
}

void frmScreenCut::FillLupe(PixelPoint at) {
  // The blocks are made when the magnifier is first filled, not while the
  // overlay opens: it shows only after a pointer move.
  if (!picLupe_) picLupe_ = Surface(kLupeSourceSide, kLupeSourceSide);
  if (!imgLupe_) imgLupe_ = Surface(kLupeImageSide, kLupeImageSide);
  if (!picLupe_ || !imgLupe_) return;
  // The block is cleared first: pixels beyond the frozen image stay black.
  const RECT block{0, 0, kLupeSourceSide, kLupeSourceSide};
  FillRect(picLupe_.dc(), &block, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  const LupeCopy copy = LupeSource(at, {picView_.width(), picView_.height()});
  if (picView_ && !copy.source.empty())
    BitBlt(picLupe_.dc(), copy.to.x, copy.to.y, copy.source.width, copy.source.height,
           picView_.dc(), copy.source.x, copy.source.y, SRCCOPY);
  GdiFlush();
  LupeBlock pixels;
  std::copy_n(picLupe_.pixels(), pixels.size(), pixels.begin());
  LupeImage enlarged;
  EnlargeLupe(pixels, enlarged);
  std::copy(enlarged.begin(), enlarged.end(), imgLupe_.pixels());
  scene_.Invalidate(ElementId::imgLupe);
}

void frmScreenCut::timerCutAreaColor_Timer() {
  const PulseTick tick = pulse_.Tick();
  // The settings matter only at the ends; elsewhere no option is read.
  const GuideSettings guide = tick.atEnd ? Guide() : GuideSettings{};
  scene_.ApplyPulse(tick, tick.atEnd && guide.lupe,
                    tick.atEnd && guide.pointerGuide && !guide.frame);
  InvalidateDirty();
}

void frmScreenCut::CutScreenArea(Point16 a, Point16 b) {
  const CutRect area = GetCutRect(a, b);
  // The picture is made beside the retained one: a cut whose picture cannot
  // be made stops here, and the clipboard, the viewer, the last picture and
  // the last area stay as they were. A 0 x 0 cut has no picture and is
  // still a cut.
  Surface cut;
  if (area.width > 0 && area.height > 0) {
    if (!AllocationRefused(Allocation::CutPicture)) cut = Surface(area.width, area.height);
    if (!cut || !picView_ ||
        !BitBlt(cut.dc(), 0, 0, area.width, area.height, picView_.dc(), area.left, area.top,
                SRCCOPY))
      return;
  }
  picBackgroundCut() = std::move(cut);
  dsCopyToClipboard();
  ShowCutPicture();
  LastCutStart = a;
  LastCutEnd = b;
}

void frmScreenCut::CloseWithCut(Point16 first, Point16 second) {
  closing_ = true;
  ShowWindow(window_, SW_HIDE);
  CutScreenArea(first, second);
  DoEvents();
  Unload();
}

void frmScreenCut::CloseWithoutCut() {
  closing_ = true;
  DoEvents();
  Unload();
}

void frmScreenCut::dsCutRetry() {
  if (!window_ || loading_) return;
  closing_ = true;
  if (CutExists) CutScreenArea(LastCutStart, LastCutEnd);
  Unload();
}

void frmScreenCut::Unload() {
  if (window_) {
    KillTimer(window_, kTimerCutAreaColorId);
    DestroyWindow(window_);
  }
  window_ = nullptr;
  timerCutAreaColor_ = false;
  heldButtons_ = 0;
  painter_.Close();
  // The frozen image, the back buffer and the magnifier's blocks are only
  // needed while the overlay is open; the object itself lives on.
  picView_ = Surface();
  backBuffer_ = Surface();
  picLupe_ = Surface();
  imgLupe_ = Surface();
}

}  // namespace kestrel
