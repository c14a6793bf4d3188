#include <gtest/gtest.h>

#include "overlay/selection.h"

namespace kestrel {

void PrintTo(const PixelPoint& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
void PrintTo(const CutRect& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ") " << r.width << " x " << r.height;
}

namespace {

constexpr GridSettings kGrid16{true, 16};
constexpr int32_t kNone = 0;
constexpr int32_t kShift = kShiftMask;
constexpr int32_t kCtrl = kCtrlMask;
constexpr int32_t kShiftCtrl = kShiftMask | kCtrlMask;

struct AbsoluteCase {
  const char* rule;
  PixelPoint at;
  int32_t modifiers;
  GridSettings grid;
  PixelPoint expected;
};
const AbsoluteCase kAbsolute[] = {
    {"Ctrl snaps down to the grid", {37, 50}, kCtrl, kGrid16, {32, 48}},
    {"Shift + Ctrl snaps too", {37, 50}, kShiftCtrl, kGrid16, {32, 48}},
    {"a point on the grid stays", {32, 48}, kCtrl, kGrid16, {32, 48}},
    {"the remainder takes the dividend's sign", {-5, -20}, kCtrl, kGrid16, {0, -16}},
    {"a negative step snaps as its magnitude", {37, -20}, kCtrl, {true, -16}, {32, -16}},
    {"step 0 leaves both coordinates", {37, 50}, kCtrl, {true, 0}, {37, 50}},
    {"step 1 changes nothing", {37, 50}, kCtrl, {true, 1}, {37, 50}},
    {"CtrlGrid off: Ctrl has no effect", {37, 50}, kCtrl, {false, 16}, {37, 50}},
    {"no modifier: no snap", {37, 50}, kNone, kGrid16, {37, 50}},
    {"Shift alone: no snap", {37, 50}, kShift, kGrid16, {37, 50}},
    {"Ctrl + Alt: no snap", {37, 50}, kCtrl | kAltMask, kGrid16, {37, 50}},
    {"Shift + Ctrl + Alt: no snap", {37, 50}, kShiftCtrl | kAltMask, kGrid16, {37, 50}},
    {"the largest coordinate snaps without overflow",
     {32767, 32767},
     kCtrl,
     kGrid16,
     {32752, 32752}},
    {"the smallest coordinate is on the grid", {-32768, -32768}, kCtrl, kGrid16, {-32768, -32768}},
};

TEST(AbsoluteGridSnap, SnapsByTheExactIntegerRules) {
  for (const auto& c : kAbsolute)
    EXPECT_EQ(AbsoluteGridSnap(c.at, c.modifiers, c.grid), c.expected) << c.rule;
}

struct RelativeCase {
  const char* rule;
  Point16 start;
  PixelPoint at;
  int32_t modifiers;
  GridSettings grid;
  PixelPoint expected;
};
const RelativeCase kRelative[] = {
    {"whole steps away from the start", {32, 48}, {70, 90}, kCtrl, kGrid16, {64, 80}},
    {"the difference truncates toward zero going left and up",
     {32, 48},
     {20, 40},
     kCtrl,
     kGrid16,
     {32, 48}},
    {"a full step back to the left and up", {32, 48}, {10, 20}, kCtrl, kGrid16, {16, 32}},
    {"steps from an off-grid start keep its offset", {5, 7}, {40, 40}, kCtrl, kGrid16, {37, 39}},
    {"step 0 leaves the point", {32, 48}, {70, 90}, kCtrl, {true, 0}, {70, 90}},
    {"CtrlGrid off: no snap", {32, 48}, {70, 90}, kCtrl, {false, 16}, {70, 90}},
    {"Ctrl + Alt: no snap", {32, 48}, {70, 90}, kCtrl | kAltMask, kGrid16, {70, 90}},
    {"Shift alone: no snap", {32, 48}, {70, 90}, kShift, kGrid16, {70, 90}},
    {"the far ends of the 16-bit range do not overflow",
     {-32768, -32768},
     {32767, 32767},
     kCtrl,
     kGrid16,
     {32752, 32752}},
};

TEST(RelativeGridSnap, MovesInWholeStepsFromTheStart) {
  for (const auto& c : kRelative)
    EXPECT_EQ(RelativeGridSnap(c.at, c.start, c.modifiers, c.grid), c.expected) << c.rule;
}

struct SquareCase {
  const char* rule;
  Point16 start;
  PixelPoint at;
  int32_t modifiers;
  PixelPoint expected;
};
const SquareCase kSquare[] = {
    {"wider than high: the width shrinks", {100, 100}, {150, 130}, kShift, {130, 130}},
    {"higher than wide: the height shrinks, below", {100, 100}, {60, 170}, kShift, {60, 140}},
    {"higher than wide, above the start", {100, 100}, {120, 20}, kShift, {120, 80}},
    {"wider than high, left of the start", {100, 100}, {20, 110}, kShift, {90, 110}},
    {"a tie recomputes the height and keeps it", {100, 100}, {130, 70}, kShift, {130, 70}},
    {"a point at the start stays", {100, 100}, {100, 100}, kShift, {100, 100}},
    {"a flat line collapses to the start", {100, 100}, {180, 100}, kShift, {100, 100}},
    {"Shift + Ctrl squares", {100, 100}, {150, 130}, kShiftCtrl, {130, 130}},
    {"Ctrl alone does not square", {100, 100}, {150, 130}, kCtrl, {150, 130}},
    {"Shift + Alt does not square", {100, 100}, {150, 130}, kShift | kAltMask, {150, 130}},
    {"no modifier does not square", {100, 100}, {150, 130}, kNone, {150, 130}},
};

TEST(SquareRule, ShortensTheLongerSideInThePointersQuadrant) {
  for (const auto& c : kSquare)
    EXPECT_EQ(ApplySquareRule(c.at, c.start, c.modifiers), c.expected) << c.rule;
}

struct CutRectCase {
  const char* rule;
  Point16 a, b;
  CutRect expected;
};
const CutRectCase kCutRects[] = {
    {"the far edge is exclusive", {10, 10}, {20, 20}, {10, 10, 10, 10}},
    {"bottom-right to top-left gives the same rectangle", {20, 20}, {10, 10}, {10, 10, 10, 10}},
    {"top-right to bottom-left", {20, 10}, {10, 20}, {10, 10, 10, 10}},
    {"one point gives 0 x 0", {15, 25}, {15, 25}, {15, 25, 0, 0}},
    {"a single column is 0 wide", {15, 25}, {15, 40}, {15, 25, 0, 15}},
    {"negative corners", {-10, -20}, {5, 5}, {-10, -20, 15, 25}},
    {"a size past 16 bits saturates", {-32768, 0}, {32767, 1}, {-32768, 0, 32767, 1}},
};

TEST(GetCutRect, OrdersTheCornersWithTheFarEdgeExclusive) {
  for (const auto& c : kCutRects) EXPECT_EQ(GetCutRect(c.a, c.b), c.expected) << c.rule;
}

constexpr Size kView{1920, 1080};

struct StepCase {
  const char* rule;
  PixelPoint at;
  PointerStep step;
  Size view;
  PixelPoint expected;
};
const StepCase kSteps[] = {
    {"left moves one pixel", {100, 200}, PointerStep::Left, kView, {99, 200}},
    {"right moves one pixel", {100, 200}, PointerStep::Right, kView, {101, 200}},
    {"up moves one pixel", {100, 200}, PointerStep::Up, kView, {100, 199}},
    {"down moves one pixel", {100, 200}, PointerStep::Down, kView, {100, 201}},
    {"left stops at the left edge", {0, 200}, PointerStep::Left, kView, {0, 200}},
    {"up stops at the top edge", {100, 0}, PointerStep::Up, kView, {100, 0}},
    {"right stops on the last column", {1919, 200}, PointerStep::Right, kView, {1919, 200}},
    {"down stops on the last row", {100, 1079}, PointerStep::Down, kView, {100, 1079}},
    {"a pointer left of the overlay comes back onto it",
     {-300, 200},
     PointerStep::Up,
     kView,
     {0, 199}},
    {"a pointer beyond the overlay comes back onto it",
     {2500, 1500},
     PointerStep::Left,
     kView,
     {1919, 1079}},
    {"an empty overlay keeps the pointer at the origin", {5, 5}, PointerStep::Down, {0, 0}, {0, 0}},
};

TEST(StepPointer, MovesOnePixelAndStaysOnTheOverlay) {
  for (const auto& c : kSteps) EXPECT_EQ(StepPointer(c.at, c.step, c.view), c.expected) << c.rule;
}

}  // namespace
}  // namespace kestrel
