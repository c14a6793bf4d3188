#include "overlay/selection.h"

#include <algorithm>
#include <cstdlib>

namespace kestrel {
namespace {

// C++ division and remainder truncate toward zero and give the remainder the
// dividend's sign, which is the grid's integer arithmetic. Coordinates are
// 16-bit and the step fits 32 bits, so nothing here overflows.
int32_t SnapDown(int32_t v, int32_t step) { return step == 0 ? v : v - v % step; }

int32_t SnapFrom(int32_t v, int32_t start, int32_t step) {
  return step == 0 ? v : start + (v - start) / step * step;
}

}  // namespace

bool GridRuleApplies(int32_t modifiers, const GridSettings& grid) {
  return grid.ctrlGrid && (modifiers == kCtrlMask || modifiers == (kShiftMask | kCtrlMask));
}

bool SquareRuleApplies(int32_t modifiers) {
  return modifiers == kShiftMask || modifiers == (kShiftMask | kCtrlMask);
}

PixelPoint AbsoluteGridSnap(PixelPoint p, int32_t modifiers, const GridSettings& grid) {
  if (!GridRuleApplies(modifiers, grid)) return p;
  return {SnapDown(p.x, grid.step), SnapDown(p.y, grid.step)};
}

PixelPoint RelativeGridSnap(PixelPoint p, Point16 start, int32_t modifiers,
                            const GridSettings& grid) {
  if (!GridRuleApplies(modifiers, grid)) return p;
  return {SnapFrom(p.x, start.x, grid.step), SnapFrom(p.y, start.y, grid.step)};
}

PixelPoint ApplySquareRule(PixelPoint p, Point16 start, int32_t modifiers) {
  if (!SquareRuleApplies(modifiers)) return p;
  const int32_t dx = std::abs(start.x - p.x);
  const int32_t dy = std::abs(start.y - p.y);
  if (dy >= dx)
    p.y = p.y - start.y > 0 ? start.y + dx : start.y - dx;
  else
    p.x = p.x - start.x > 0 ? start.x + dy : start.x - dy;
  return p;
}

CutRect GetCutRect(Point16 a, Point16 b) {
  const int16_t left = a.x < b.x ? a.x : b.x;
  const int16_t right = a.x < b.x ? b.x : a.x;
  const int16_t top = a.y < b.y ? a.y : b.y;
  const int16_t bottom = a.y < b.y ? b.y : a.y;
  return {left, top, ToInt16(right - left), ToInt16(bottom - top)};
}

PixelPoint StepPointer(PixelPoint at, PointerStep step, Size view) {
  switch (step) {
    case PointerStep::Left:
      --at.x;
      break;
    case PointerStep::Right:
      ++at.x;
      break;
    case PointerStep::Up:
      --at.y;
      break;
    case PointerStep::Down:
      ++at.y;
      break;
  }
  return {std::clamp(at.x, 0, std::max(view.width - 1, 0)),
          std::clamp(at.y, 0, std::max(view.height - 1, 0))};
}

void SelectionMachine::AppendMove(SelectionSteps& steps, PixelPoint at, int32_t modifiers,
                                  const GridSettings& grid) const {
  SelectionAction action{SelectionAction::Kind::Move};
  if (SelectState_ == kWaiting) {
    at = AbsoluteGridSnap(at, modifiers, grid);
  } else {
    at = RelativeGridSnap(at, StartPoint_, modifiers, grid);
    at = ApplySquareRule(at, StartPoint_, modifiers);
    action.move.area = GetCutRect(StartPoint_, ToPoint16(at));
  }
  action.move.at = at;
  action.move.selecting = SelectState_ == kDragging;
  steps.push_back(action);
}

SelectionSteps SelectionMachine::MouseMove(PixelPoint at, int32_t modifiers,
                                           const GridSettings& grid) const {
  SelectionSteps steps;
  AppendMove(steps, at, modifiers, grid);
  return steps;
}

SelectionSteps SelectionMachine::MouseDown(int32_t button, int32_t modifiers, PixelPoint at,
                                           const GridSettings& grid, bool cutExists) {
  SelectionSteps steps;
  at = AbsoluteGridSnap(at, modifiers, grid);
  if (button == kMiddleButton || modifiers == (kShiftMask | kCtrlMask)) {
    if (modifiers == kShiftMask) {
      steps.push_back({SelectionAction::Kind::ToggleColourTimer});
    } else {
      steps.push_back({SelectionAction::Kind::FlipLupe});
      AppendMove(steps, at, modifiers, grid);
      steps.push_back({SelectionAction::Kind::RefreshGuide});
    }
  }
  if (SelectState_ == kWaiting && button == kLeftButton) {
    SelectState_ = kDragging;
    StartPoint_ = ToPoint16(at);
    SelectionAction caption{SelectionAction::Kind::SetDescription};
    caption.description = cutExists ? DescriptionText::SquareHint : DescriptionText::FirstRelease;
    steps.push_back(caption);
  }
  return steps;
}

SelectionSteps SelectionMachine::MouseUp(int32_t button, int32_t modifiers, PixelPoint at,
                                         const GridSettings& grid) {
  SelectionSteps steps;
  at = RelativeGridSnap(at, StartPoint_, modifiers, grid);
  at = ApplySquareRule(at, StartPoint_, modifiers);
  if (SelectState_ == kWaiting) {
    if (button == kRightButton) steps.push_back({SelectionAction::Kind::CloseWithoutCut});
    return steps;
  }
  if (button == kLeftButton) {
    SelectionAction close{SelectionAction::Kind::CloseWithCut};
    close.first = StartPoint_;
    close.second = ToPoint16(at);
    steps.push_back(close);
  } else if (button == kRightButton) {
    SelectState_ = kWaiting;
    AppendMove(steps, at, modifiers, grid);
    SelectionAction caption{SelectionAction::Kind::SetDescription};
    caption.description = DescriptionText::Waiting;
    steps.push_back(caption);
  }
  return steps;
}

}  // namespace kestrel
