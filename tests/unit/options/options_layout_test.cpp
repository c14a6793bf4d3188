#include "options/options_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace kestrel::options {
namespace {

TEST(Twips, ConvertToPixelsAtTheScreenResolution) {
  struct Case {
    int twips, dpi, pixels;
  };
  const Case cases[] = {
      {15, 96, 1},    {120, 96, 8},   {7170, 96, 478},  {5415, 96, 361},
      {10, 144, 1},   {120, 144, 12}, {7170, 144, 717}, {5415, 144, 542},
      {255, 144, 26}, {-15, 96, -1},  {7, 96, 0},       {8, 96, 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
}

struct PlaceCase {
  const char* control;
  Ctl id;
  int dpi;
  Ctl parent;
  PixelRect at;
};
const PlaceCase kPlaces[] = {
    {"a button of the dialog", Ctl::cmdOK, 96, Ctl::None, {232, 296, 73, 25}},
    {"the page area", Ctl::picTabpage2, 96, Ctl::None, {12, 32, 449, 249}},
    {"a container climbs out of its frame", Ctl::Picture2, 96, Ctl::picTabpage0, {16, 24, 409, 81}},
    {"a control stays in its container", Ctl::txtCGridSize, 96, Ctl::Picture1, {136, 173, 41, 18}},
    {"a control directly in a frame", Ctl::chkHotkey, 96, Ctl::picTabpage3, {24, 32, 401, 17}},
    {"a button of the dialog at 144 dpi", Ctl::cmdOK, 144, Ctl::None, {348, 444, 110, 38}},
    {"a control directly in a frame at 144 dpi",
     Ctl::chkHotkey,
     144,
     Ctl::picTabpage3,
     {36, 48, 602, 26}},
};

TEST(Layout, PlacesEveryControlInTheWindowThatHoldsIt) {
  for (const auto& c : kPlaces) {
    const Placement p = PlaceControl(*Find(c.id), c.dpi);
    EXPECT_EQ(p.parent, c.parent) << c.control;
    EXPECT_EQ(std::vector<int>({p.at.left, p.at.top, p.at.width, p.at.height}),
              std::vector<int>({c.at.left, c.at.top, c.at.width, c.at.height}))
        << c.control;
  }
}

// At 144 dpi every control lies where 1.5 times its 96 dpi place says, give
// or take the rounding of one pixel, and nothing leaves its parent.
TEST(Layout, ScalesByOneAndAHalfAt144Dpi) {
  for (const ControlSpec& c : Controls()) {
    const PixelRect small = PlaceControl(c, 96).at;
    const PixelRect large = PlaceControl(c, 144).at;
    EXPECT_NEAR(large.left, small.left * 1.5, 1.0) << c.name;
    EXPECT_NEAR(large.top, small.top * 1.5, 1.0) << c.name;
    EXPECT_NEAR(large.width, small.width * 1.5, 1.5) << c.name;
    EXPECT_NEAR(large.height, small.height * 1.5, 1.5) << c.name;
  }
}

TEST(Layout, EveryControlHasAUniqueIdentifierAndTabIndex) {
  std::set<Ctl> ids;
  std::set<int> tabIndexes;
  for (const ControlSpec& c : Controls()) {
    EXPECT_TRUE(ids.insert(c.id).second) << c.name;
    EXPECT_TRUE(tabIndexes.insert(c.tabIndex).second) << c.name;
  }
  EXPECT_EQ(tabIndexes.size(), 52u);
  EXPECT_EQ(*tabIndexes.rbegin(), 51);
}

TEST(Layout, CreationOrderMakesParentsFirstAndKeepsArraysTogether) {
  const auto order = CreationOrder();
  ASSERT_EQ(order.size(), Controls().size());
  auto position = [&](Ctl id) {
    return std::find_if(order.begin(), order.end(), [&](auto* c) { return c->id == id; }) -
           order.begin();
  };
  for (const ControlSpec* c : order) {
    const Placement p = PlaceControl(*c, 96);
    if (p.parent != Ctl::None) {
      EXPECT_LT(position(p.parent), position(c->id)) << c->name;
    }
    // A frame lies below what it frames: it is created after it.
    if (c->container != Ctl::None && Find(c->container)->kind == Kind::Frame) {
      EXPECT_GT(position(c->container), position(c->id)) << c->name;
    }
  }
  EXPECT_GT(position(Ctl::picTabcontrol), position(Ctl::picTabpage3)) << "pages over the host";
  // An array's buttons are next to each other, in any order.
  for (auto arrays : {std::vector<Ctl>{Ctl::optTimerCut0, Ctl::optTimerCut1, Ctl::optTimerCut2},
                      std::vector<Ctl>{Ctl::optPGType0, Ctl::optPGType1},
                      std::vector<Ctl>{Ctl::optCount0, Ctl::optCount1, Ctl::optCount2}}) {
    std::vector<long> at;
    for (Ctl button : arrays) at.push_back(position(button));
    std::sort(at.begin(), at.end());
    EXPECT_EQ(at.back() - at.front(), static_cast<long>(arrays.size()) - 1)
        << Find(arrays.front())->name;
  }
}

}  // namespace
}  // namespace kestrel::options
