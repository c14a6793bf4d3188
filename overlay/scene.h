#pragma once
// The overlay's retained scene: every element drawn over the frozen image is a
// plain record in drawing order. Each change records the element's old and new
// bounds, so the window repaints only what changed. No windows.h here.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "overlay/geometry.h"
#include "overlay/grey_pulse.h"
#include "overlay/pointer_guide.h"
#include "overlay/selection.h"

namespace kestrel {

// 0x00BBGGRR, as the platform's colour values.
using Colour = uint32_t;
inline constexpr Colour kWhite = 0x00FFFFFF;
inline constexpr Colour kBlack = 0x00000000;

// Back to front: the order in which the elements are drawn.
enum class ElementId : int {
  shpCutArea,
  lineH,
  LineV,
  shpLupe,
  shpPointerGuide,
  lblPointerGuide,
  lblDescription,
  lblTitle,
  imgIcon,
  imgLupe,
  shpLupeCenter,
};
inline constexpr size_t kElementCount = 11;

enum class ElementKind {
  Line,       // filled by its line colour
  Outline,    // one-pixel outline, transparent inside
  FilledBox,  // one-pixel outline around a fill
  Text,       // caption over a transparent background
  Icon,       // the program's 16 x 16 icon
  Magnified,  // the magnifier's source block, stretched
};

enum class TextFont { Default, Title };

struct Element {
  ElementKind kind = ElementKind::Line;
  Rect bounds;
  bool visible = false;
  Colour line = kBlack;  // line, outline or text colour
  Colour fill = kBlack;  // FilledBox only
  std::wstring caption;  // Text only
  TextFont font = TextFont::Default;
  bool rightAligned = false;
};

// The system colours the opening state uses, read by the window.
struct SystemColours {
  Colour windowText = kBlack;      // shpLupeCenter's outline
  Colour buttonText = kBlack;      // the labels' text
  Colour infoBackground = kWhite;  // the guide frame's and magnifier box's fill
};

// Measured in the overlay's fonts: a label is at least as high as its font's
// line, so no glyph is cut off at a higher resolution, and lblTitle is as
// wide as its caption.
struct LabelMetrics {
  int32_t uiLine = 0;      // lblDescription, lblPointerGuide
  int32_t titleLine = 0;   // lblTitle
  int32_t titleWidth = 0;  // lblTitle's caption; 0 keeps the design width
};

class Scene {
 public:
  // Every element to its opening state; the crosshair stands at `pointer`.
  // The whole view becomes dirty.
  void Reset(Size view, PixelPoint pointer, const SystemColours& colours, LabelMetrics labels = {});

  const Element& operator[](ElementId id) const { return elements_[Index(id)]; }

  void Move(ElementId id, Rect bounds);
  // Moves the element's top-left corner; its size stays.
  void MoveTo(ElementId id, Point16 at);
  void SetVisible(ElementId id, bool visible);
  void SetColour(ElementId id, Colour colour);
  void SetCaption(ElementId id, const std::wstring& caption);
  void SetRightAligned(ElementId id, bool rightAligned);
  // The element's picture changed where it stands (the magnifier's image).
  void Invalidate(ElementId id);

  // The guide's elements to the positions MovePointerGuide gave.
  void ApplyGuideLayout(const GuideLayout& layout);
  // The guide's visibility and frame size after a refresh.
  void ApplyGuideRefresh(const GuideRefresh& refresh);
  // One tick of the grey pulse: the lines and the rectangle's outline take
  // the grey; at black or white also the centre mark (`centreMark`) and the
  // guide's texts (`texts`).
  void ApplyPulse(const PulseTick& tick, bool centreMark, bool texts);

  // Rectangle, crosshair and ShowSelecting of one pointer-move handling.
  void ApplyPointerMove(const PointerMove& move);

  // Shows the selection rectangle and hides the crosshair when on, the
  // reverse when off.
  void ShowSelecting(bool on);

  // The topmost visible element that takes pointer events at `p`: the
  // texts and images; outlines, frames, boxes and lines let events through.
  std::optional<ElementId> PointerTargetAt(PixelPoint p) const;

  // The rectangles to repaint since the last call; each is an old or a new
  // bound of a changed visible element, clipped to the view.
  std::vector<Rect> TakeDirty();

  // The bounds of the visible elements that paint every pixel they cover
  // (lines and filled boxes): what lies beneath them need not be restored
  // from the frozen image before they are drawn.
  std::vector<Rect> OpaqueBounds() const;
  // The bounds of every visible element: outside them the frozen image shows.
  std::vector<Rect> ShownBounds() const;

  Size view() const { return view_; }

 private:
  static size_t Index(ElementId id) { return static_cast<size_t>(id); }
  // Call before changing an element: records its old bounds when visible.
  void Touch(const Element& e);
  void AddDirty(Rect r);

  std::array<Element, kElementCount> elements_{};
  std::vector<Rect> dirty_;
  Size view_;
};

// What a pointer event over an element does.
enum class PointerRoute { Handle, AsMove, Ignore };

// Movement over lblDescription is ignored; movement anywhere else is handled.
PointerRoute RouteMove(std::optional<ElementId> target);
// A press on lblDescription is a movement; a press over the other texts and
// images is ignored.
PointerRoute RoutePress(std::optional<ElementId> target);
// A release over any text or image is ignored.
PointerRoute RouteRelease(std::optional<ElementId> target);

}  // namespace kestrel
