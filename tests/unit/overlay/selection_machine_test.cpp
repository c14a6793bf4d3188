#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "overlay/selection.h"

namespace kestrel {
namespace {

constexpr GridSettings kGrid16{true, 16};
constexpr GridSettings kNoGrid{false, 16};
constexpr int32_t kShift = kShiftMask;
constexpr int32_t kCtrl = kCtrlMask;
constexpr int32_t kShiftCtrl = kShiftMask | kCtrlMask;

enum class Ev { Move, Down, Up };
struct Event {
  Ev kind;
  int32_t button;
  int32_t modifiers;
  PixelPoint at;
};

Event MoveTo(int32_t x, int32_t y, int32_t modifiers = 0) {
  return {Ev::Move, 0, modifiers, {x, y}};
}
Event Down(int32_t button, int32_t x, int32_t y, int32_t modifiers = 0) {
  return {Ev::Down, button, modifiers, {x, y}};
}
Event Up(int32_t button, int32_t x, int32_t y, int32_t modifiers = 0) {
  return {Ev::Up, button, modifiers, {x, y}};
}

std::string Describe(const SelectionAction& a) {
  using K = SelectionAction::Kind;
  auto pt = [](int32_t x, int32_t y) { return std::to_string(x) + "," + std::to_string(y); };
  switch (a.kind) {
    case K::Move:
      if (!a.move.selecting) return "move " + pt(a.move.at.x, a.move.at.y);
      return "drag " + pt(a.move.at.x, a.move.at.y) + " rect " +
             pt(a.move.area.left, a.move.area.top) + " " +
             pt(a.move.area.width, a.move.area.height);
    case K::ToggleColourTimer:
      return "timer";
    case K::FlipLupe:
      return "lupe";
    case K::RefreshGuide:
      return "refresh";
    case K::SetDescription:
      switch (a.description) {
        case DescriptionText::Waiting:
          return "text waiting";
        case DescriptionText::FirstRelease:
          return "text release";
        case DescriptionText::SquareHint:
          return "text square";
      }
      return "text ?";
    case K::CloseWithCut:
      return "cut " + pt(a.first.x, a.first.y) + " " + pt(a.second.x, a.second.y);
    case K::CloseWithoutCut:
      return "cancel";
  }
  return "?";
}

// Runs the events through a freshly opened machine and lists every action,
// "|" between the actions of one event and "/" between events.
std::string RunEvents(const std::vector<Event>& events, const GridSettings& grid, bool cutExists) {
  SelectionMachine machine;
  machine.Open();
  std::string trace;
  for (size_t n = 0; n < events.size(); ++n) {
    const Event& e = events[n];
    SelectionSteps steps;
    switch (e.kind) {
      case Ev::Move:
        steps = machine.MouseMove(e.at, e.modifiers, grid);
        break;
      case Ev::Down:
        steps = machine.MouseDown(e.button, e.modifiers, e.at, grid, cutExists);
        break;
      case Ev::Up:
        steps = machine.MouseUp(e.button, e.modifiers, e.at, grid);
        break;
    }
    if (n > 0) trace += " / ";
    for (size_t i = 0; i < steps.size(); ++i) trace += (i ? " | " : "") + Describe(steps[i]);
  }
  return trace;
}

struct MachineCase {
  const char* rule;
  std::vector<Event> events;
  GridSettings grid;
  bool cutExists;
  const char* expected;
};

const MachineCase kCases[] = {
    {"waiting: the crosshair follows the pointer", {MoveTo(5, 6)}, kNoGrid, false, "move 5,6"},
    {"a drag cuts from the press to the release",
     {Down(kLeftButton, 10, 10), MoveTo(20, 30), Up(kLeftButton, 20, 30)},
     kNoGrid,
     false,
     "text release / drag 20,30 rect 10,10 10,20 / cut 10,10 20,30"},
    {"after a cut the press shows the square hint",
     {Down(kLeftButton, 10, 10)},
     kNoGrid,
     true,
     "text square"},
    {"the corners are handed on as dragged, not ordered",
     {Down(kLeftButton, 50, 60), Up(kLeftButton, 10, 20)},
     kNoGrid,
     false,
     "text release / cut 50,60 10,20"},
    {"press and release at one point cut 0 x 0",
     {Down(kLeftButton, 7, 7), Up(kLeftButton, 7, 7)},
     kNoGrid,
     false,
     "text release / cut 7,7 7,7"},
    {"the grid case: press (37,50), moves to (70,90) and (20,40)",
     {Down(kLeftButton, 37, 50, kCtrl), MoveTo(70, 90, kCtrl), MoveTo(20, 40, kCtrl),
      Up(kLeftButton, 70, 90, kCtrl)},
     kGrid16,
     false,
     "text release / drag 64,80 rect 32,48 32,32 / drag 32,48 rect 32,48 0,0 / cut 32,48 64,80"},
    {"waiting with Ctrl: the crosshair stands on the grid",
     {MoveTo(37, 50, kCtrl)},
     kGrid16,
     false,
     "move 32,48"},
    {"the Shift case: (150,130) and (60,170) from (100,100)",
     {Down(kLeftButton, 100, 100), MoveTo(150, 130, kShift), MoveTo(60, 170, kShift),
      Up(kLeftButton, 60, 170, kShift)},
     kNoGrid,
     false,
     "text release / drag 130,130 rect 100,100 30,30 / drag 60,140 rect 60,100 40,40 / cut "
     "100,100 60,140"},
    {"Ctrl + Alt neither snaps nor squares",
     {Down(kLeftButton, 37, 50, kCtrl | kAltMask), Up(kLeftButton, 70, 91, kCtrl | kAltMask)},
     kGrid16,
     false,
     "text release / cut 37,50 70,91"},
    {"Shift + Alt does not square",
     {Down(kLeftButton, 100, 100), Up(kLeftButton, 150, 130, kShift | kAltMask)},
     kNoGrid,
     false,
     "text release / cut 100,100 150,130"},
    {"a right click while waiting closes without a cut",
     {Down(kRightButton, 5, 5), Up(kRightButton, 5, 5)},
     kNoGrid,
     false,
     " / cancel"},
    {"a left release while waiting does nothing", {Up(kLeftButton, 5, 5)}, kNoGrid, false, ""},
    {"a right press and release during a drag drop the selection",
     {Down(kLeftButton, 10, 10), Down(kRightButton, 30, 30), Up(kRightButton, 30, 30),
      Up(kLeftButton, 40, 40), Down(kRightButton, 40, 40), Up(kRightButton, 40, 40)},
     kNoGrid,
     false,
     "text release /  / move 30,30 | text waiting /  /  / cancel"},
    {"a second left press during a drag changes nothing",
     {Down(kLeftButton, 10, 10), Down(kLeftButton, 20, 20), Up(kLeftButton, 30, 30)},
     kNoGrid,
     false,
     "text release /  / cut 10,10 30,30"},
    {"middle press flips the magnifier and redoes the move",
     {Down(kMiddleButton, 9, 8)},
     kNoGrid,
     false,
     "lupe | move 9,8 | refresh"},
    {"middle press with Shift toggles the colour timer only",
     {Down(kMiddleButton, 9, 8, kShift)},
     kNoGrid,
     false,
     "timer"},
    {"Shift + Ctrl + left flips the magnifier and starts a snapped selection",
     {Down(kLeftButton, 37, 50, kShiftCtrl)},
     kGrid16,
     false,
     "lupe | move 32,48 | refresh | text release"},
    {"Shift + Ctrl + right flips the magnifier and starts nothing",
     {Down(kRightButton, 37, 50, kShiftCtrl)},
     kNoGrid,
     false,
     "lupe | move 37,50 | refresh"},
    {"a middle press during a drag redoes the drag move",
     {Down(kLeftButton, 10, 10), Down(kMiddleButton, 30, 20)},
     kNoGrid,
     false,
     "text release / lupe | drag 30,20 rect 10,10 20,10 | refresh"},
    {"middle release changes nothing", {Up(kMiddleButton, 3, 3)}, kNoGrid, false, ""},
};

TEST(SelectionMachine, CarriesOutEachEventInItsOrder) {
  for (const auto& c : kCases) EXPECT_EQ(RunEvents(c.events, c.grid, c.cutExists), c.expected) << c.rule;
}

TEST(SelectionMachine, OpeningStartsWaitingAgain) {
  SelectionMachine machine;
  machine.MouseDown(kLeftButton, 0, {10, 10}, kNoGrid, false);
  ASSERT_EQ(machine.SelectState(), SelectionMachine::kDragging);
  machine.Open();
  EXPECT_EQ(machine.SelectState(), SelectionMachine::kWaiting);
  EXPECT_EQ(Describe(machine.MouseMove({4, 4}, 0, kNoGrid)[0]), "move 4,4");
}

}  // namespace
}  // namespace kestrel
