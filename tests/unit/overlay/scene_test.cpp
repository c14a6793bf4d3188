#include "overlay/scene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "overlay/overlay_texts.h"

namespace kestrel {

void PrintTo(const Rect& r, std::ostream* os) {
  *os << "{" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << "}";
}

namespace {

constexpr Size kFullHd{1920, 1080};
constexpr SystemColours kColours{0x000001, 0x000002, 0x000003};

Scene OpenedAt(PixelPoint pointer, Size view = kFullHd) {
  Scene scene;
  scene.Reset(view, pointer, kColours);
  scene.TakeDirty();
  return scene;
}

PointerMove Waiting(int32_t x, int32_t y) { return {{x, y}, false, {}}; }

int64_t AreaOf(const std::vector<Rect>& rects) {
  int64_t area = 0;
  for (const Rect& r : rects) area += int64_t{r.width} * r.height;
  return area;
}

TEST(SceneOpening, EveryElementReturnsToItsOpeningState) {
  Scene scene = OpenedAt({10, 10});
  // What an earlier opening left behind.
  scene.ApplyPointerMove({{300, 200}, true, {100, 100, 200, 100}});
  scene.SetCaption(ElementId::lblDescription, kDescriptionSquareHintText);
  scene.SetColour(ElementId::LineV, kBlack);
  scene.SetVisible(ElementId::lblTitle, true);

  scene.Reset(kFullHd, {40, 50}, kColours);

  EXPECT_EQ(scene[ElementId::LineV].bounds, (Rect{40, 0, 1, 1080}));
  EXPECT_EQ(scene[ElementId::lineH].bounds, (Rect{0, 50, 1920, 1}));
  for (ElementId line : {ElementId::LineV, ElementId::lineH}) {
    EXPECT_TRUE(scene[line].visible);
    EXPECT_EQ(scene[line].line, kWhite);
  }
  for (size_t i = 0; i < kElementCount; ++i) {
    const auto id = static_cast<ElementId>(i);
    if (id == ElementId::LineV || id == ElementId::lineH) continue;
    EXPECT_FALSE(scene[id].visible) << "element " << i << " is hidden at opening";
  }
  EXPECT_EQ(scene[ElementId::shpCutArea].line, kWhite);
  EXPECT_EQ(scene[ElementId::lblDescription].caption, kDescriptionWaitingText);
  EXPECT_EQ(scene[ElementId::lblTitle].caption, kOverlayTitleText);
  EXPECT_EQ(scene[ElementId::lblPointerGuide].caption, kPointerGuidePlaceholderText);
  EXPECT_EQ(scene[ElementId::lblDescription].line, kColours.buttonText);
  EXPECT_EQ(scene[ElementId::shpLupeCenter].line, kColours.windowText);
  EXPECT_EQ(scene[ElementId::shpPointerGuide].fill, kColours.infoBackground);
  EXPECT_EQ(scene[ElementId::shpPointerGuide].bounds.width, 273);
  EXPECT_EQ(scene[ElementId::shpPointerGuide].bounds.height, 65);
  EXPECT_EQ(scene.TakeDirty(), (std::vector<Rect>{{0, 0, 1920, 1080}}));
}

struct DirtyCase {
  const char* rule;
  PixelPoint from;
  PointerMove move;
  std::vector<Rect> expected;
};
const DirtyCase kDirty[] = {
    {"a move repaints the old and the new crosshair lines only",
     {10, 20},
     Waiting(30, 40),
     {{10, 0, 1, 1080}, {30, 0, 1, 1080}, {0, 20, 1920, 1}, {0, 40, 1920, 1}}},
    {"a move along one axis leaves the other line alone",
     {10, 20},
     Waiting(30, 20),
     {{10, 0, 1, 1080}, {30, 0, 1, 1080}}},
    {"no move repaints nothing", {10, 20}, Waiting(10, 20), {}},
    {"starting a drag paints the outline's edges and clears the crosshair",
     {10, 20},
     {{110, 70}, true, {10, 20, 100, 50}},
     {{10, 20, 100, 1},
      {10, 69, 100, 1},
      {10, 20, 1, 50},
      {109, 20, 1, 50},
      {10, 0, 1, 1080},
      {0, 20, 1920, 1}}},
};

TEST(SceneDirty, OnlyTheOldAndNewBoundsOfWhatChanged) {
  for (const auto& c : kDirty) {
    Scene scene = OpenedAt(c.from);
    scene.ApplyPointerMove(c.move);
    EXPECT_EQ(scene.TakeDirty(), c.expected) << c.rule;
  }
}

TEST(SceneDirty, ADragMoveCostsThePerimeterNotTheArea) {
  for (const Size view : {Size{1920, 1080}, Size{3840, 2160}}) {
    Scene scene = OpenedAt({0, 0}, view);
    scene.ApplyPointerMove({{1000, 1000}, true, {0, 0, 1000, 1000}});
    scene.TakeDirty();
    scene.ApplyPointerMove({{1001, 1001}, true, {0, 0, 1001, 1001}});
    const int64_t area = AreaOf(scene.TakeDirty());
    EXPECT_EQ(area, 4 * 1000 + 4 * 1001) << "old and new edges, at " << view.width;
  }
}

TEST(SceneDirty, HiddenElementsAndTheOutsideCostNothing) {
  Scene scene = OpenedAt({10, 10});
  scene.Move(ElementId::shpPointerGuide, {500, 500, 273, 65});
  scene.SetCaption(ElementId::lblDescription, kDescriptionFirstReleaseText);
  EXPECT_TRUE(scene.TakeDirty().empty()) << "hidden elements changed";
  scene.SetVisible(ElementId::imgLupe, true);
  scene.TakeDirty();
  scene.Move(ElementId::imgLupe, {1900, 1070, 57, 57});
  EXPECT_EQ(scene.TakeDirty(), (std::vector<Rect>{{0, 0, 57, 57}, {1900, 1070, 20, 10}}))
      << "bounds are clipped to the view";
}

// The guide shown beside the pointer, as a refresh with every switch on
// leaves it.
Scene WithGuide(PixelPoint pointer, Size view = kFullHd) {
  Scene scene = OpenedAt(pointer, view);
  GuideSettings on;
  scene.ApplyGuideLayout(
      MovePointerGuide({ToInt16(pointer.x + 5), ToInt16(pointer.y + 5)}, false, 273, on));
  scene.ApplyGuideRefresh(RefreshPointerGuide({273, 65}, 100, on));
  scene.TakeDirty();
  return scene;
}

TEST(SceneDirty, APulseTickRepaintsTheLinesAndAtTheEndsTheMarkAndTexts) {
  Scene scene = WithGuide({100, 200});
  scene.ApplyPulse({64, false}, true, true);
  EXPECT_EQ(AreaOf(scene.TakeDirty()), 1920 + 1080) << "between the ends: the two lines only";
  scene.ApplyPulse({255, true}, false, false);
  EXPECT_EQ(AreaOf(scene.TakeDirty()), 1920 + 1080) << "an end without mark or texts";
  scene.ApplyPulse({0, true}, true, true);
  const int64_t withMarkAndTexts = AreaOf(scene.TakeDirty());
  const Rect& title = scene[ElementId::lblTitle].bounds;
  EXPECT_EQ(withMarkAndTexts,
            1920 + 1080 + 4 * 9 + 261 * 12 + 241 * 17 + int64_t{title.width} * title.height);
  EXPECT_EQ(scene[ElementId::lblPointerGuide].line, kBlack);
  EXPECT_EQ(scene[ElementId::shpLupeCenter].line, kBlack);
}

TEST(SceneDirty, AGuideMoveCostsTheSameOnAnyScreen) {
  int64_t areas[2] = {};
  const Size views[] = {{1920, 1080}, {3840, 2160}};
  for (int i = 0; i < 2; ++i) {
    Scene scene = WithGuide({500, 400}, views[i]);
    GuideSettings on;
    scene.ApplyPointerMove(Waiting(503, 402));
    scene.ApplyGuideLayout(MovePointerGuide({508, 407}, false, 273, on));
    // Without the crosshair, which spans the screen by design.
    areas[i] = AreaOf(scene.TakeDirty()) - 2 * (views[i].width + views[i].height);
  }
  EXPECT_EQ(areas[0], areas[1]);
  EXPECT_LT(areas[0], 4 * 273 * 65) << "old and new bounds of the guide's pieces only";
}

TEST(SceneCover, EveryShownElementAndTheOpaqueOnes) {
  Scene scene = WithGuide({500, 400});
  std::vector<Rect> shown;
  for (size_t i = 0; i < kElementCount; ++i) {
    const Element& e = scene[static_cast<ElementId>(i)];
    if (e.visible) shown.push_back(e.bounds);
  }
  EXPECT_EQ(scene.ShownBounds(), shown);
  EXPECT_EQ(shown.size(), kElementCount - 1) << "all but the selection rectangle";
  EXPECT_EQ(scene.OpaqueBounds(),
            (std::vector<Rect>{scene[ElementId::lineH].bounds, scene[ElementId::LineV].bounds,
                               scene[ElementId::shpLupe].bounds,
                               scene[ElementId::shpPointerGuide].bounds}))
      << "texts, the icon, the magnified image and outlines let the frozen image show";
  scene.ShowSelecting(true);
  scene.SetVisible(ElementId::shpPointerGuide, false);
  EXPECT_EQ(scene.OpaqueBounds(), (std::vector<Rect>{scene[ElementId::shpLupe].bounds}))
      << "hidden lines and frame";
}

TEST(SceneSelecting, ShowsEitherTheRectangleOrTheCrosshair) {
  Scene scene = OpenedAt({10, 10});
  scene.ShowSelecting(true);
  EXPECT_TRUE(scene[ElementId::shpCutArea].visible);
  EXPECT_FALSE(scene[ElementId::LineV].visible);
  EXPECT_FALSE(scene[ElementId::lineH].visible);
  scene.ShowSelecting(false);
  EXPECT_FALSE(scene[ElementId::shpCutArea].visible);
  EXPECT_TRUE(scene[ElementId::LineV].visible);
  EXPECT_TRUE(scene[ElementId::lineH].visible);
}

struct RouteCase {
  const char* rule;
  std::optional<ElementId> target;
  PointerRoute move, press, release;
};
const RouteCase kRoutes[] = {
    {"over the frozen image everything is handled", std::nullopt, PointerRoute::Handle,
     PointerRoute::Handle, PointerRoute::Handle},
    {"the description: moves ignored, a press is a move", ElementId::lblDescription,
     PointerRoute::Ignore, PointerRoute::AsMove, PointerRoute::Ignore},
    {"the title forwards moves only", ElementId::lblTitle, PointerRoute::Handle,
     PointerRoute::Ignore, PointerRoute::Ignore},
    {"the icon forwards moves only", ElementId::imgIcon, PointerRoute::Handle, PointerRoute::Ignore,
     PointerRoute::Ignore},
    {"the magnified image forwards moves only", ElementId::imgLupe, PointerRoute::Handle,
     PointerRoute::Ignore, PointerRoute::Ignore},
    {"the coordinate line forwards moves only", ElementId::lblPointerGuide, PointerRoute::Handle,
     PointerRoute::Ignore, PointerRoute::Ignore},
};

TEST(PointerRouting, GuideElementsForwardOrSwallowEvents) {
  for (const auto& c : kRoutes) {
    EXPECT_EQ(RouteMove(c.target), c.move) << c.rule;
    EXPECT_EQ(RoutePress(c.target), c.press) << c.rule;
    EXPECT_EQ(RouteRelease(c.target), c.release) << c.rule;
  }
}

TEST(PointerRouting, OnlyVisibleTextsAndImagesTakeEvents) {
  Scene scene = OpenedAt({10, 10});
  scene.Move(ElementId::lblDescription, {100, 100, 241, 17});
  EXPECT_EQ(scene.PointerTargetAt({110, 105}), std::nullopt) << "hidden";
  scene.SetVisible(ElementId::lblDescription, true);
  EXPECT_EQ(scene.PointerTargetAt({110, 105}), ElementId::lblDescription);
  EXPECT_EQ(scene.PointerTargetAt({341, 105}), std::nullopt) << "the far edge is outside";
  scene.Move(ElementId::shpPointerGuide, {90, 90, 273, 65});
  scene.SetVisible(ElementId::shpPointerGuide, true);
  EXPECT_EQ(scene.PointerTargetAt({95, 95}), std::nullopt) << "the frame lets events through";
  EXPECT_EQ(scene.PointerTargetAt({10, 10}), std::nullopt) << "the crosshair lets events through";
}

}  // namespace
}  // namespace kestrel
