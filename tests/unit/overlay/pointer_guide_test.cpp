#include "overlay/pointer_guide.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "overlay/grey_pulse.h"
#include "overlay/magnifier.h"
#include "support/text.h"

namespace kestrel {

void PrintTo(const Point16& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
void PrintTo(const Size& s, std::ostream* os) { *os << s.width << " x " << s.height; }

namespace {

GuideSettings With(bool position, int32_t type, bool size) {
  GuideSettings s;
  s.position = position;
  s.type = type;
  s.size = size;
  return s;
}

struct TextCase {
  const char* rule;
  GuideSettings settings;
  bool dragging;
  PixelPoint at;
  CutRect area;
  const wchar_t* expected;
};

// A selection from (10, 20) to (110, 70) with the pointer at (110, 70).
constexpr CutRect kArea{10, 20, 100, 50};
constexpr PixelPoint kCorner{110, 70};

const TextCase kTexts[] = {
    {"corners and size", With(true, 0, true), true, kCorner, kArea,
     L"( 10, 20 ) - ( 110, 70 ) : 100 x 50 ピクセル"},
    {"pointer and size", With(true, 1, true), true, kCorner, kArea,
     L"( 110, 70 ) : 100 x 50 ピクセル"},
    {"any type other than 0 shows the pointer", With(true, 7, false), true, kCorner, kArea,
     L"( 110, 70 )"},
    {"size alone, type 0", With(false, 0, true), true, kCorner, kArea, L"100 x 50 ピクセル"},
    {"size alone, type 1", With(false, 1, true), true, kCorner, kArea, L"100 x 50 ピクセル"},
    {"pointer alone", With(true, 1, false), true, kCorner, kArea, L"( 110, 70 )"},
    {"corners alone", With(true, 0, false), true, kCorner, kArea, L"( 10, 20 ) - ( 110, 70 )"},
    {"nothing", With(false, 0, false), true, kCorner, kArea, L""},
    {"a 0 x 0 selection",
     With(true, 0, true),
     true,
     {5, 5},
     {5, 5, 0, 0},
     L"( 5, 5 ) - ( 5, 5 ) : 0 x 0 ピクセル"},
    {"negative corners keep their sign",
     With(true, 0, true),
     true,
     {-3, -40},
     {-30, -40, 27, 45},
     L"( -30, -40 ) - ( -3, 5 ) : 27 x 45 ピクセル"},
    {"waiting: the pointer", With(true, 0, true), false, {37, 50}, {}, L"( 37, 50 )"},
    {"waiting: negative", With(true, 1, false), false, {-1024, -7}, {}, L"( -1024, -7 )"},
    {"waiting without position is empty, even with size",
     With(false, 0, true),
     false,
     {37, 50},
     {},
     L""},
};

TEST(PointerGuideText, FormatsOfEachSwitch) {
  for (const TextCase& c : kTexts) {
    const std::wstring text = c.dragging ? DraggingGuideText(c.at, c.area, c.settings)
                                         : WaitingGuideText(c.at, c.settings);
    EXPECT_EQ(text, c.expected) << c.rule << ": got \"" << testing_support::Utf8(text) << "\"";
  }
}

// One pointer path and the sides the guide ends on after each step.
struct Step {
  int32_t x;
  int32_t y;
  bool onLeft;
  bool above;
};

struct PlacementCase {
  const char* rule;
  bool lupe;
  std::vector<Step> path;
};

// On 1920 x 1080 with the design frame 273 x 65: gw is 278, or 338 with the
// magnifier; the vertical thresholds are 100 pixels from each edge.
const PlacementCase kPlacements[] = {
    {"flips left within gw of the right edge and stays until gw from the left edge",
     false,
     {{1640, 500, false, false},
      {1641, 500, false, false},
      {1642, 500, true, false},  // 1920 - 278 = 1642
      {1630, 500, true, false},
      {1000, 500, true, false},
      {278, 500, true, false},
      {277, 500, false, false},
      {300, 500, false, false}}},
    {"with the magnifier the band is 60 pixels wider",
     true,
     {{1581, 500, false, false},
      {1582, 500, true, false},  // 1920 - 338
      {1575, 500, true, false},
      {338, 500, true, false},
      {337, 500, false, false}}},
    {"flips up within 100 of the bottom and back only within 100 of the top",
     false,
     {{500, 979, false, false},
      {500, 980, false, true},
      {500, 975, false, true},
      {500, 100, false, true},
      {500, 99, false, false},
      {500, 120, false, false}}},
    {"the vertical band does not depend on the magnifier",
     true,
     {{500, 979, false, false}, {500, 980, false, true}, {500, 99, false, false}}},
};

TEST(PointerGuidePlacement, HysteresisInBothDirections) {
  for (const PlacementCase& c : kPlacements) {
    GuideSettings settings;
    settings.lupe = c.lupe;
    GuideSides sides;
    for (const Step& s : c.path) {
      sides =
          PlacePointerGuide({s.x, s.y}, {1920, 1080}, kGuideFrameDesignSize, sides, settings).sides;
      EXPECT_EQ(sides.GuideOnLeft, s.onLeft) << c.rule << " at x " << s.x;
      EXPECT_EQ(sides.GuideAbove, s.above) << c.rule << " at y " << s.y;
    }
  }
}

TEST(PointerGuidePlacement, OriginBesideThePointer) {
  struct Case {
    const char* rule;
    bool lupe;
    GuideSides previous;
    Point16 expected;
  };
  const Case cases[] = {
      {"right and below", false, {false, false}, {505, 405}},
      {"left: the frame's width and the gap", false, {true, false}, {500 - 278, 405}},
      {"above: the frame's height and two gaps", false, {false, true}, {505, 400 - 75}},
      {"above with the magnifier: 65 high and one gap", true, {false, true}, {505, 400 - 70}},
  };
  for (const Case& c : cases) {
    GuideSettings settings;
    settings.lupe = c.lupe;
    EXPECT_EQ(
        PlacePointerGuide({500, 400}, {1920, 1080}, kGuideFrameDesignSize, c.previous, settings)
            .origin,
        c.expected)
        << c.rule;
  }
}

TEST(PointerGuideLayout, MagnifierNextToThePointerAndFrameBeyond) {
  GuideSettings settings;  // every switch on
  // Pointer at (500, 400): the guide's origin is 5 pixels away on either side.
  const GuideLayout right = MovePointerGuide({505, 405}, false, 273, settings);
  EXPECT_EQ(right.lupeBox, (Point16{505, 405}));
  EXPECT_EQ(right.lupeImage, (Point16{509, 409}));
  EXPECT_EQ(right.lupeCenter, (Point16{533, 433}));
  EXPECT_EQ(right.frame, (Point16{575, 405}));
  EXPECT_EQ(right.icon, (Point16{579, 409}));
  EXPECT_EQ(right.title, (Point16{599, 413}));
  EXPECT_EQ(right.description, (Point16{599, 433}));
  EXPECT_EQ(right.text, (Point16{583, 453}));
  EXPECT_FALSE(right.textRightAligned);

  const GuideLayout left = MovePointerGuide({500 - 278, 405}, true, 273, settings);
  EXPECT_EQ(left.lupeBox, (Point16{430, 405})) << "box spans x - 70 to x - 5";
  EXPECT_EQ(left.frame.x + 273, 425) << "frame ends at x - 75";

  settings.lupe = false;
  settings.description = false;
  settings.frame = false;
  const GuideLayout bare = MovePointerGuide({222, 405}, true, 273, settings);
  EXPECT_FALSE(bare.movesLupe);
  EXPECT_FALSE(bare.movesHead);
  EXPECT_EQ(bare.text, (Point16{230, 413})) << "the text line moves up without the head";
  EXPECT_TRUE(bare.textRightAligned) << "no frame, left of the pointer";
}

// Every combination of the four switches that shape the frame.
TEST(PointerGuideRefresh, FrameSizesAndVisibility) {
  struct Case {
    bool frame, description, position, size;
    Size expected;
    bool frameVisible;
  };
  constexpr int32_t kCaption = 120;  // measured caption width
  constexpr Size kBefore{273, 45};   // the frame size the last refresh left
  const Case cases[] = {
      {true, true, true, true, {273, 65}, true},     {true, true, true, false, {273, 65}, true},
      {true, true, false, true, {273, 65}, true},    {true, true, false, false, {273, 45}, true},
      {true, false, true, true, {136, 25}, true},    {true, false, true, false, {136, 25}, true},
      {true, false, false, true, {136, 25}, true},   {true, false, false, false, {273, 45}, false},
      {false, true, true, true, {273, 65}, false},   {false, true, true, false, {273, 65}, false},
      {false, true, false, true, {273, 65}, false},  {false, true, false, false, {273, 45}, false},
      {false, false, true, true, {273, 25}, false},  {false, false, true, false, {273, 25}, false},
      {false, false, false, true, {273, 25}, false}, {false, false, false, false, {273, 45}, false},
  };
  for (const Case& c : cases) {
    GuideSettings s;
    s.frame = c.frame;
    s.description = c.description;
    s.position = c.position;
    s.size = c.size;
    const GuideRefresh r = RefreshPointerGuide(kBefore, kCaption, s);
    const std::string name = std::string("frame ") + (c.frame ? "on" : "off") + ", description " +
                             (c.description ? "on" : "off") + ", position " +
                             (c.position ? "on" : "off") + ", size " + (c.size ? "on" : "off");
    EXPECT_EQ(r.frame, c.expected) << name;
    EXPECT_EQ(r.frameVisible, c.frameVisible) << name;
    EXPECT_EQ(r.head, c.description) << name;
    EXPECT_EQ(r.text, c.position || c.size) << name;
    EXPECT_EQ(r.lupeBox, c.frame) << name << " (magnifier on)";
  }
  GuideSettings emptyWaiting;
  emptyWaiting.description = false;
  emptyWaiting.position = false;
  EXPECT_EQ(RefreshPointerGuide(kBefore, 0, emptyWaiting).frame, (Size{16, 25}))
      << "an empty caption leaves a 16 x 25 frame";
}

TEST(GreyPulse, SequenceOverTwentyTicksAndAcrossAReopening) {
  const int16_t expected[] = {32,  64,  96, 128, 160, 192, 224, 255, 223, 191,
                              159, 127, 95, 63,  31,  0,   32,  64,  96,  128};
  GreyPulse pulse;  // one object for the whole run, as the overlay keeps it
  for (size_t i = 0; i < std::size(expected); ++i) {
    if (i == 10) {
      // The overlay closes and opens again here: the pulse goes on.
      EXPECT_EQ(pulse.GreyLevel(), 191);
      EXPECT_TRUE(pulse.GreyFalling());
    }
    const PulseTick tick = pulse.Tick();
    EXPECT_EQ(tick.level, expected[i]) << "tick " << i + 1;
    EXPECT_EQ(tick.atEnd, expected[i] == 0 || expected[i] == 255) << "tick " << i + 1;
  }
  EXPECT_EQ(GreyColour(255), 0x00FFFFFFu);
  EXPECT_EQ(GreyColour(32), 0x00202020u);
}

TEST(Magnifier, SourceBlockInsideTheImage) {
  struct Case {
    const char* rule;
    PixelPoint at;
    Rect source;
    PixelPoint to;
  };
  const Case cases[] = {
      {"inside", {100, 50}, {98, 48, 5, 5}, {0, 0}},
      {"top-left corner", {0, 0}, {0, 0, 3, 3}, {2, 2}},
      {"one from the left edge", {1, 40}, {0, 38, 4, 5}, {1, 0}},
      {"bottom-right corner", {1919, 1079}, {1917, 1077, 3, 3}, {0, 0}},
      {"wholly outside", {-10, 5}, {0, 0, 0, 0}, {0, 0}},
  };
  for (const Case& c : cases) {
    const LupeCopy copy = LupeSource(c.at, {1920, 1080});
    EXPECT_EQ(copy.source, c.source) << c.rule;
    if (!c.source.empty()) {
      EXPECT_EQ(copy.to, c.to) << c.rule;
    }
  }
}

TEST(Magnifier, EachSourcePixelIsACrispBlock) {
  LupeBlock block;
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint32_t>(i);
  LupeImage image;
  EnlargeLupe(block, image);
  // Block edges of the nearest-neighbour enlargement: 12, 11, 12, 11, 11.
  const int32_t edges[] = {0, 12, 23, 35, 46, 57};
  for (int32_t b = 0; b < 5; ++b) {
    for (int32_t i = edges[b]; i < edges[b + 1]; ++i) {
      EXPECT_EQ(LupeSourceIndex(i), b) << "display pixel " << i;
    }
  }
  EXPECT_EQ(image[0], 0u);
  EXPECT_EQ(image[56], 4u);
  EXPECT_EQ(image[28 * 57 + 28], 12u) << "the centre shows the pointer's pixel";
  EXPECT_EQ(image[56 * 57 + 56], 24u);
  // The 9 x 9 centre mark at 24..32 lies inside the centre block 23..34.
  EXPECT_LE(edges[2], 24);
  EXPECT_GE(edges[3], 24 + kLupeCenterSide);
}

}  // namespace
}  // namespace kestrel
