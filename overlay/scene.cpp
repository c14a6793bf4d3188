#include "overlay/scene.h"

#include <algorithm>
#include <utility>

#include "overlay/overlay_texts.h"

namespace kestrel {
namespace {

// Element sizes at opening, in pixels.
constexpr Size kLupeCenterSize{kLupeCenterSide, kLupeCenterSide};
constexpr Size kImgLupeSize{kLupeImageSide, kLupeImageSide};
constexpr Size kIconSize{16, 16};
constexpr Size kTitleSize{85, 12};
constexpr Size kDescriptionSize{241, 17};
constexpr Size kPointerGuideTextSize{261, 12};
constexpr Size kLupeBoxSize{kLupeBoxSide, kLupeBoxSide};

Element Hidden(ElementKind kind, Size size, Colour line, Colour fill = kBlack) {
  Element e;
  e.kind = kind;
  e.bounds = {0, 0, size.width, size.height};
  e.line = line;
  e.fill = fill;
  return e;
}

Element Label(Size size, const wchar_t* caption, Colour text, TextFont font = TextFont::Default) {
  Element e = Hidden(ElementKind::Text, size, text);
  e.caption = caption;
  e.font = font;
  return e;
}

Rect Intersect(const Rect& a, const Rect& b) {
  const int32_t left = std::max(a.x, b.x);
  const int32_t top = std::max(a.y, b.y);
  const int32_t right = std::min(a.x + a.width, b.x + b.width);
  const int32_t bottom = std::min(a.y + a.height, b.y + b.height);
  return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

bool TakesPointerEvents(ElementId id) {
  switch (id) {
    case ElementId::imgIcon:
    case ElementId::imgLupe:
    case ElementId::lblTitle:
    case ElementId::lblPointerGuide:
    case ElementId::lblDescription:
      return true;
    default:
      return false;
  }
}

bool IsGuideTextOrImage(std::optional<ElementId> target) {
  return target && TakesPointerEvents(*target);
}

}  // namespace

void Scene::Reset(Size view, PixelPoint pointer, const SystemColours& colours,
                  LabelMetrics labels) {
  view_ = view;
  using K = ElementKind;
  Element cutArea = Hidden(K::Outline, {0, 0}, kWhite);
  Element lineH = Hidden(K::Line, {view.width, 1}, kWhite);
  lineH.bounds.y = pointer.y;
  lineH.visible = true;
  Element lineV = Hidden(K::Line, {1, view.height}, kWhite);
  lineV.bounds.x = pointer.x;
  lineV.visible = true;
  elements_ = {
      cutArea,
      lineH,
      lineV,
      Hidden(K::FilledBox, kLupeBoxSize, kBlack, colours.infoBackground),
      Hidden(K::FilledBox, kGuideFrameDesignSize, kBlack, colours.infoBackground),
      Label(kPointerGuideTextSize, kPointerGuidePlaceholderText, colours.buttonText),
      Label(kDescriptionSize, kDescriptionWaitingText, colours.buttonText),
      Label(kTitleSize, kOverlayTitleText, colours.buttonText, TextFont::Title),
      Hidden(K::Icon, kIconSize, kBlack),
      Hidden(K::Magnified, kImgLupeSize, kBlack),
      Hidden(K::Outline, kLupeCenterSize, colours.windowText),
  };
  for (ElementId label : {ElementId::lblPointerGuide, ElementId::lblDescription}) {
    Rect& b = elements_[Index(label)].bounds;
    b.height = std::max(b.height, labels.uiLine);
  }
  Rect& title = elements_[Index(ElementId::lblTitle)].bounds;
  title.height = std::max(title.height, labels.titleLine);
  if (labels.titleWidth > 0) title.width = labels.titleWidth;
  dirty_.assign(1, Rect{0, 0, view.width, view.height});
}

void Scene::AddDirty(Rect r) {
  r = Intersect(r, {0, 0, view_.width, view_.height});
  if (!r.empty()) dirty_.push_back(r);
}

void Scene::Touch(const Element& e) {
  if (!e.visible) return;
  const Rect& b = e.bounds;
  if (e.kind == ElementKind::Outline && b.width > 2 && b.height > 2) {
    // Only the outline's four edges are drawn, so only they need repainting;
    // a large selection then costs no more than a small one.
    AddDirty({b.x, b.y, b.width, 1});
    AddDirty({b.x, b.y + b.height - 1, b.width, 1});
    AddDirty({b.x, b.y, 1, b.height});
    AddDirty({b.x + b.width - 1, b.y, 1, b.height});
    return;
  }
  AddDirty(b);
}

void Scene::Move(ElementId id, Rect bounds) {
  Element& e = elements_[Index(id)];
  if (e.bounds == bounds) return;
  Touch(e);
  e.bounds = bounds;
  Touch(e);
}

void Scene::MoveTo(ElementId id, Point16 at) {
  const Rect& b = elements_[Index(id)].bounds;
  Move(id, {at.x, at.y, b.width, b.height});
}

void Scene::SetVisible(ElementId id, bool visible) {
  Element& e = elements_[Index(id)];
  if (e.visible == visible) return;
  Touch(e);
  e.visible = visible;
  Touch(e);
}

void Scene::SetColour(ElementId id, Colour colour) {
  Element& e = elements_[Index(id)];
  if (e.line == colour) return;
  e.line = colour;
  Touch(e);
}

void Scene::SetCaption(ElementId id, const std::wstring& caption) {
  Element& e = elements_[Index(id)];
  if (e.caption == caption) return;
  e.caption = caption;
  Touch(e);
}

void Scene::SetRightAligned(ElementId id, bool rightAligned) {
  Element& e = elements_[Index(id)];
  if (e.rightAligned == rightAligned) return;
  e.rightAligned = rightAligned;
  Touch(e);
}

void Scene::Invalidate(ElementId id) { Touch(elements_[Index(id)]); }

void Scene::ApplyGuideLayout(const GuideLayout& layout) {
  if (layout.movesLupe) {
    MoveTo(ElementId::shpLupe, layout.lupeBox);
    MoveTo(ElementId::imgLupe, layout.lupeImage);
    MoveTo(ElementId::shpLupeCenter, layout.lupeCenter);
  }
  MoveTo(ElementId::shpPointerGuide, layout.frame);
  if (layout.movesHead) {
    MoveTo(ElementId::imgIcon, layout.icon);
    MoveTo(ElementId::lblTitle, layout.title);
    MoveTo(ElementId::lblDescription, layout.description);
  }
  if (layout.movesText) MoveTo(ElementId::lblPointerGuide, layout.text);
  SetRightAligned(ElementId::lblPointerGuide, layout.textRightAligned);
}

void Scene::ApplyGuideRefresh(const GuideRefresh& refresh) {
  for (ElementId head : {ElementId::imgIcon, ElementId::lblTitle, ElementId::lblDescription})
    SetVisible(head, refresh.head);
  SetVisible(ElementId::lblPointerGuide, refresh.text);
  SetVisible(ElementId::shpLupe, refresh.lupeBox);
  SetVisible(ElementId::imgLupe, refresh.lupeImage);
  SetVisible(ElementId::shpLupeCenter, refresh.lupeImage);
  const Rect& frame = elements_[Index(ElementId::shpPointerGuide)].bounds;
  Move(ElementId::shpPointerGuide, {frame.x, frame.y, refresh.frame.width, refresh.frame.height});
  SetVisible(ElementId::shpPointerGuide, refresh.frameVisible);
}

void Scene::ApplyPulse(const PulseTick& tick, bool centreMark, bool texts) {
  const Colour grey = GreyColour(tick.level);
  for (ElementId id : {ElementId::shpCutArea, ElementId::lineH, ElementId::LineV})
    SetColour(id, grey);
  if (!tick.atEnd) return;
  if (centreMark) SetColour(ElementId::shpLupeCenter, grey);
  if (texts) {
    for (ElementId id :
         {ElementId::lblTitle, ElementId::lblDescription, ElementId::lblPointerGuide})
      SetColour(id, grey);
  }
}

void Scene::ApplyPointerMove(const PointerMove& move) {
  if (move.selecting) {
    const CutRect& a = move.area;
    Move(ElementId::shpCutArea, {a.left, a.top, a.width, a.height});
    SetVisible(ElementId::shpCutArea, true);
  }
  // Visibility before position: the final state is the same, and lines that
  // are being hidden are not repainted where they move to.
  ShowSelecting(move.selecting);
  Move(ElementId::LineV, {move.at.x, 0, 1, view_.height});
  Move(ElementId::lineH, {0, move.at.y, view_.width, 1});
}

void Scene::ShowSelecting(bool on) {
  SetVisible(ElementId::shpCutArea, on);
  SetVisible(ElementId::LineV, !on);
  SetVisible(ElementId::lineH, !on);
}

std::optional<ElementId> Scene::PointerTargetAt(PixelPoint p) const {
  for (size_t i = kElementCount; i-- > 0;) {
    const auto id = static_cast<ElementId>(i);
    const Element& e = elements_[i];
    if (e.visible && TakesPointerEvents(id) && Contains(e.bounds, p)) return id;
  }
  return std::nullopt;
}

std::vector<Rect> Scene::TakeDirty() { return std::exchange(dirty_, {}); }

std::vector<Rect> Scene::ShownBounds() const {
  std::vector<Rect> shown;
  for (const Element& e : elements_) {
    if (e.visible) shown.push_back(e.bounds);
  }
  return shown;
}

std::vector<Rect> Scene::OpaqueBounds() const {
  std::vector<Rect> opaque;
  for (const Element& e : elements_) {
    if (e.visible && (e.kind == ElementKind::Line || e.kind == ElementKind::FilledBox))
      opaque.push_back(e.bounds);
  }
  return opaque;
}

PointerRoute RouteMove(std::optional<ElementId> target) {
  return target == ElementId::lblDescription ? PointerRoute::Ignore : PointerRoute::Handle;
}

PointerRoute RoutePress(std::optional<ElementId> target) {
  if (target == ElementId::lblDescription) return PointerRoute::AsMove;
  return IsGuideTextOrImage(target) ? PointerRoute::Ignore : PointerRoute::Handle;
}

PointerRoute RouteRelease(std::optional<ElementId> target) {
  return IsGuideTextOrImage(target) ? PointerRoute::Ignore : PointerRoute::Handle;
}

}  // namespace kestrel
