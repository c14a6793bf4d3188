#pragma once
// Rectangle selection on the overlay: the grid and square rules, the ordering
// of two corners into the cut rectangle, and the state machine that turns
// pointer events into ordered actions for the window. No windows.h here.

#include <cstdint>
#include <vector>

#include "overlay/geometry.h"

namespace kestrel {

// Modifier state of a pointer event: the sum of these bits. The rules test
// exact sums, so Alt with anything switches both rules off.
inline constexpr int32_t kShiftMask = 1;
inline constexpr int32_t kCtrlMask = 2;
inline constexpr int32_t kAltMask = 4;

// The button of a press or release.
inline constexpr int32_t kLeftButton = 1;
inline constexpr int32_t kRightButton = 2;
inline constexpr int32_t kMiddleButton = 4;

// The settings the grid rule reads at each event.
struct GridSettings {
  bool ctrlGrid = false;  // "CtrlGrid" equals True
  int32_t step = 0;       // "CGridSize"; 0 when it cannot be read
};

// The rectangle between two corners, as cut.
struct CutRect {
  int16_t left = 0;
  int16_t top = 0;
  int16_t width = 0;
  int16_t height = 0;
  friend bool operator==(const CutRect&, const CutRect&) = default;
};

// Exactly Ctrl or Shift + Ctrl, and "CtrlGrid" on.
bool GridRuleApplies(int32_t modifiers, const GridSettings& grid);

// Exactly Shift or Shift + Ctrl.
bool SquareRuleApplies(int32_t modifiers);

// Snaps each coordinate down to a multiple of the step, the remainder taking
// the dividend's sign (-5 stays at 0 with step 16, -20 goes to -16). A step of
// 0 leaves the point unchanged. Only when the grid rule applies.
PixelPoint AbsoluteGridSnap(PixelPoint p, int32_t modifiers, const GridSettings& grid);

// Moves the corner in whole steps away from the start point, the difference
// truncated toward zero, so width and height are multiples of the step. A step
// of 0 leaves the point unchanged. Only when the grid rule applies.
PixelPoint RelativeGridSnap(PixelPoint p, Point16 start, int32_t modifiers,
                            const GridSettings& grid);

// Shortens the longer side to the shorter one, keeping the corner in the
// pointer's quadrant; on a tie the height is recomputed and stays. Only when
// the square rule applies.
PixelPoint ApplySquareRule(PixelPoint p, Point16 start, int32_t modifiers);

// Orders two dragged corners into a rectangle. The far edge is exclusive:
// corners (10,10) and (20,20) give the 10 x 10 pixels (10,10)..(19,19).
CutRect GetCutRect(Point16 a, Point16 b);

// The direction of an arrow key on the overlay.
enum class PointerStep { Left, Right, Up, Down };

// Where an arrow key puts the pointer: one pixel on in its direction, kept on
// the overlay's pixels (0 .. width - 1, 0 .. height - 1), so a key at an edge
// leaves it there and a pointer beside the overlay comes back onto it.
PixelPoint StepPointer(PixelPoint at, PointerStep step, Size view);

// The captions of lblDescription the selection sets.
enum class DescriptionText {
  Waiting,       // the overlay's opening text, also after a dropped selection
  FirstRelease,  // a selection starts and no picture has been cut yet
  SquareHint,    // a selection starts after a picture has been cut
};

// What one pointer-move handling decided.
struct PointerMove {
  PixelPoint at;  // after the grid and square rules; every later step uses it
  bool selecting = false;
  CutRect area;  // the selection rectangle, when selecting
};

// One step the window carries out, in the order given.
struct SelectionAction {
  enum class Kind {
    Move,               // apply `move`: rectangle, crosshair, guide
    ToggleColourTimer,  // switch timerCutAreaColor on or off
    FlipLupe,           // PGLupe := Not PGLupe, in memory only
    RefreshGuide,       // visibility refresh of the pointer guide
    SetDescription,     // caption of lblDescription := `description`
    CloseWithCut,       // hide, cut (first, second), let messages run, unload
    CloseWithoutCut,    // let messages run, unload
  };
  Kind kind;
  PointerMove move{};
  DescriptionText description = DescriptionText::Waiting;
  Point16 first{};
  Point16 second{};
};

using SelectionSteps = std::vector<SelectionAction>;

// SelectState and StartPoint of the overlay and the three pointer events.
class SelectionMachine {
 public:
  static constexpr int32_t kWaiting = 0;
  static constexpr int32_t kDragging = 1;

  // Each opening of the overlay starts waiting.
  void Open() { SelectState_ = kWaiting; }

  SelectionSteps MouseMove(PixelPoint at, int32_t modifiers, const GridSettings& grid) const;
  SelectionSteps MouseDown(int32_t button, int32_t modifiers, PixelPoint at,
                           const GridSettings& grid, bool cutExists);
  SelectionSteps MouseUp(int32_t button, int32_t modifiers, PixelPoint at,
                         const GridSettings& grid);

  int32_t SelectState() const { return SelectState_; }
  Point16 StartPoint() const { return StartPoint_; }

 private:
  void AppendMove(SelectionSteps& steps, PixelPoint at, int32_t modifiers,
                  const GridSettings& grid) const;

  int32_t SelectState_ = kWaiting;
  Point16 StartPoint_{};
};

}  // namespace kestrel
