#include <gtest/gtest.h>

#include <vector>

#include "desktop/mdl_screen_extent.h"

namespace kestrel {

void PrintTo(const ScreenExtent& e, std::ostream* os) { *os << e.width << " x " << e.height; }

namespace {

using Monitor = std::optional<MonitorEdges>;
constexpr Monitor kPrimaryHd = MonitorEdges{1920, 1080};
constexpr Monitor kUnreadable = std::nullopt;

struct ExtentCase {
  const char* rule;
  ScreenExtent primary;
  std::vector<Monitor> monitors;
  ScreenExtent expected;
};
const ExtentCase kExtents[] = {
    {"one monitor", {1920, 1080}, {kPrimaryHd}, {1920, 1080}},
    {"a monitor to the right widens",
     {1920, 1080},
     {kPrimaryHd, MonitorEdges{3200, 1024}},
     {3200, 1080}},
    {"a monitor below deepens", {1920, 1080}, {kPrimaryHd, MonitorEdges{1920, 2160}}, {1920, 2160}},
    {"a monitor to the left stays outside",
     {1920, 1080},
     {kPrimaryHd, MonitorEdges{0, 1024}},
     {1920, 1080}},
    {"a monitor above stays outside",
     {1920, 1080},
     {MonitorEdges{1920, 0}, kPrimaryHd},
     {1920, 1080}},
    {"right and below together span the bounding box",
     {1024, 768},
     {MonitorEdges{1024, 768}, MonitorEdges{2304, 800}, MonitorEdges{1024, 1536}},
     {2304, 1536}},
    {"an unreadable first monitor leaves the primary size",
     {1920, 1080},
     {kUnreadable, MonitorEdges{3200, 1024}},
     {1920, 1080}},
    {"an unreadable monitor ends the enumeration",
     {1920, 1080},
     {kPrimaryHd, MonitorEdges{3200, 1080}, kUnreadable, MonitorEdges{5000, 3000}},
     {3200, 1080}},
    {"no monitor reported: the primary size", {1280, 800}, {}, {1280, 800}},
};

TEST(ScreenExtent, GrowsFromThePrimaryToTheFarEdges) {
  for (const auto& c : kExtents)
    EXPECT_EQ(ComputeScreenExtent(c.primary, c.monitors), c.expected) << c.rule;
}

TEST(ScreenExtent, TheCallbackGoesOnOnlyAfterAReadableMonitor) {
  ScreenExtent extent{800, 600};
  EXPECT_TRUE(AddMonitorToExtent(extent, MonitorEdges{-100, -100}));
  EXPECT_EQ(extent, (ScreenExtent{800, 600})) << "signed comparisons";
  EXPECT_FALSE(AddMonitorToExtent(extent, kUnreadable));
  EXPECT_EQ(extent, (ScreenExtent{800, 600}));
}

}  // namespace
}  // namespace kestrel
