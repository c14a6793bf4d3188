// The overlay's pointer guide, magnifier and grey pulse as a user sees them on
// the screen pattern, and cuts started from the tray menu that must not
// show the menu.

#include <algorithm>
#include <set>
#include <string>

#include "e2e/support/cut_fixture.h"
#include "overlay/magnifier.h"
#include "overlay/pointer_guide.h"
#include "tray/countdown_logic.h"

namespace e2e {
namespace {

using input::Button;
using input::Modifier;

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
// The magnifier's image inside its box, and the centre mark inside the image.
constexpr int kImageInset = 4;
constexpr int kCentreMarkOffset = 24;

// The levels the pulse passes through, and the white of the opening.
const std::set<uint32_t> kPulseGreys = {0,   31,  32,  63,  64,  95,  96,  127,
                                        128, 159, 160, 191, 192, 223, 224, 255};

uint32_t SystemRgb(int index) {
  const COLORREF c = GetSysColor(index);
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

uint32_t ScreenPixel(POINT p) {
  const auto picture = ScreenPicture({p.x, p.y, p.x + 1, p.y + 1});
  return picture ? picture->at(0, 0) : 0xFF000000;
}

SIZE ScreenSize() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

// What the magnifier must show for a pointer at `centre`: the 5 x 5 block of
// the pattern around it, enlarged, black beyond the screen.
uint32_t ExpectedLupePixel(POINT centre, int x, int y) {
  const SIZE screen = ScreenSize();
  const int sx = centre.x + kestrel::LupeSourceIndex(x) - 2;
  const int sy = centre.y + kestrel::LupeSourceIndex(y) - 2;
  if (sx < 0 || sy < 0 || sx >= screen.cx || sy >= screen.cy) return kBlack;
  return PatternPixel(Pattern::Plain, sx, sy);
}

bool OnCentreMark(int x, int y) {
  const int last = kCentreMarkOffset + kestrel::kLupeCenterSide - 1;
  const bool inside = x >= kCentreMarkOffset && x <= last && y >= kCentreMarkOffset && y <= last;
  return inside && (x == kCentreMarkOffset || x == last || y == kCentreMarkOffset || y == last);
}

// The magnifier's 57 x 57 pixels at `image` show the block around `centre`,
// with a one-coloured centre mark.
::testing::AssertionResult LupeShows(POINT image, POINT centre) {
  const int side = kestrel::kLupeImageSide;
  const auto picture = ScreenPicture({image.x, image.y, image.x + side, image.y + side});
  if (!picture) return ::testing::AssertionFailure() << "the screen could not be read";
  std::set<uint32_t> mark;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      if (OnCentreMark(x, y)) {
        mark.insert(picture->at(x, y));
        continue;
      }
      const uint32_t expected = ExpectedLupePixel(centre, x, y);
      if (picture->at(x, y) != expected)
        return ::testing::AssertionFailure()
               << "magnifier pixel (" << x << ", " << y << ") is " << std::hex << picture->at(x, y)
               << ", expected " << expected;
    }
  }
  const bool markOk = mark.size() == 1 && (*mark.begin() == kBlack || *mark.begin() == kWhite ||
                                           *mark.begin() == SystemRgb(COLOR_WINDOWTEXT));
  if (!markOk) return ::testing::AssertionFailure() << "the centre mark is not one black or white";
  return ::testing::AssertionSuccess();
}

// Where the magnifier's image stands for a pointer, on each side.
POINT LupeImageAt(POINT pointer, bool onLeft, bool above) {
  const int box = kestrel::kLupeBoxSide;
  const int gap = kestrel::kGuideGap;
  return {(onLeft ? pointer.x - gap - box : pointer.x + gap) + kImageInset,
          (above ? pointer.y - gap - box : pointer.y + gap) + kImageInset};
}

// The box or frame with its black outline and tooltip fill stands at `corner`.
bool BoxAt(POINT corner) {
  return ScreenPixel(corner) == kBlack &&
         ScreenPixel({corner.x + 2, corner.y + 2}) == SystemRgb(COLOR_INFOBK);
}

// Where two pictures of one size differ, for a failure message.
std::string Difference(const Picture& got, const Picture& expected) {
  RECT box{got.width, got.height, -1, -1};
  for (int y = 0; y < got.height; ++y) {
    for (int x = 0; x < got.width; ++x) {
      if (got.at(x, y) == expected.at(x, y)) continue;
      box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x),
             std::max<LONG>(box.bottom, y)};
    }
  }
  return "differs in (" + std::to_string(box.left) + ", " + std::to_string(box.top) + ")-(" +
         std::to_string(box.right) + ", " + std::to_string(box.bottom) + ")";
}

class Guide : public CutTest {
 protected:
  // Moves the pointer over the open overlay and waits until the crosshair
  // stands at the point the overlay took it for.
  void PointAt(POINT at, POINT crosshair) {
    ASSERT_TRUE(input::MoveTo(at));
    ASSERT_TRUE(WaitUntil([&] { return CrosshairAt(crosshair); }, 5s))
        << "no crosshair at (" << crosshair.x << ", " << crosshair.y << ")";
  }
  void PointAt(POINT at) { PointAt(at, at); }
  // The crosshair's column and row, away from the guide, are not the pattern.
  static bool CrosshairAt(POINT at) {
    const SIZE screen = ScreenSize();
    const POINT probes[] = {{at.x, at.y > 30 ? at.y - 20 : at.y + 100},
                            {at.x > 30 ? at.x - 20 : at.x + 400, at.y}};
    for (const POINT& p : probes) {
      if (p.x >= screen.cx || p.y >= screen.cy) continue;
      if (ScreenPixel(p) == PatternPixel(Pattern::Plain, p.x, p.y)) return false;
    }
    return true;
  }
  void CloseOverlay(POINT at) {
    ASSERT_TRUE(input::ClickAt(at, Button::Right));
    ASSERT_TRUE(WaitOverlayGone());
  }
};

TEST_F(Guide, MagnifierShowsTheBlockAroundThePointer) {
  const SIZE screen = ScreenSize();
  struct Case {
    const char* rule;
    POINT pointer;
    std::initializer_list<Modifier> modifiers;
    POINT centre;  // after the grid rule
    bool onLeft, above;  // the sides are kept from one opening to the next
  };
  const Case cases[] = {
      {"the block around the pointer", {400, 300}, {}, {400, 300}, false, false},
      {"within 2 pixels of the top-left edge, black outside", {1, 1}, {}, {1, 1}, false, false},
      {"Ctrl with the grid centres on the snapped point",
       {437, 350},
       {Modifier::Ctrl},
       {432, 336},
       false,
       false},
      {"within 2 pixels of the bottom-right edge, black outside",
       {screen.cx - 2, screen.cy - 1},
       {},
       {screen.cx - 2, screen.cy - 1},
       true,
       true},
  };
  StartOverPattern();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    OpenOverlay();
    {
      const input::HeldModifiers held(c.modifiers);
      ASSERT_TRUE(held.held());
      // A move away first, so the last move is one the overlay handles with
      // the modifiers held.
      ASSERT_TRUE(input::MoveTo({c.pointer.x + (c.pointer.x > 600 ? -3 : 3), c.pointer.y}));
      PointAt(c.pointer, c.centre);
      const POINT image = LupeImageAt(c.centre, c.onLeft, c.above);
      EXPECT_TRUE(WaitUntil([&] { return LupeShows(image, c.centre); }, 3s))
          << LupeShows(image, c.centre).message();
    }
    CloseOverlay({640, 400});
  }
}

TEST_F(Guide, FlipsNearTheRightAndBottomEdgesWithHysteresis) {
  const SIZE screen = ScreenSize();
  const int gap = kestrel::kGuideGap;
  const int box = kestrel::kLupeBoxSide;
  // With the magnifier on, the guide keeps 273 + 5 + 60 pixels beside it.
  const int flipX = screen.cx - 338;
  const int flipY = screen.cy - kestrel::kGuideFlipMargin;
  StartOverPattern();
  OpenOverlay();
  struct Step {
    POINT pointer;
    bool onLeft, above;
  };
  const Step steps[] = {
      {{500, 300}, false, false},
      {{flipX - 1, 300}, false, false},
      {{flipX, 300}, true, false},
      {{flipX - 6, 300}, true, false},  // a few pixels back: no flip back
      {{flipX - 6, flipY - 1}, true, false},
      {{flipX - 6, flipY}, true, true},
      {{flipX - 6, flipY - 6}, true, true},
      {{500, 300}, true, true},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE("pointer at (" + std::to_string(s.pointer.x) + ", " + std::to_string(s.pointer.y) +
                 ")");
    PointAt(s.pointer);
    // The magnifier's box: 5 pixels from the pointer on its side.
    const POINT corner{s.onLeft ? s.pointer.x - gap - box : s.pointer.x + gap,
                       s.above ? s.pointer.y - gap - box : s.pointer.y + gap};
    EXPECT_TRUE(WaitUntil([&] { return BoxAt(corner); }, 3s));
  }
  CloseOverlay({640, 400});
}

struct SwitchCase {
  const char* rule;
  std::vector<std::pair<const wchar_t*, const wchar_t*>> options;
  bool box;    // the magnifier's box, 5 pixels right of and below the pointer
  bool frame;  // the frame beyond it
  bool lupe;   // the magnified image
  bool anyGuidePixel;
};

TEST_F(Guide, SwitchesShowAndHideItsParts) {
  const SwitchCase cases[] = {
      {"everything on", {}, true, true, true, true},
      {"no pointer guide: nothing, whatever the other switches say",
       {{L"PointerGuide", L"False"}},
       false,
       false,
       false,
       false},
      {"no frame: neither frame nor box, the texts and image still drawn",
       {{L"PGFrame", L"False"}},
       false,
       false,
       true,
       true},
  };
  const POINT pointer{400, 300};
  for (const SwitchCase& c : cases) {
    SCOPED_TRACE(c.rule);
    for (const auto& [key, value] : c.options) store_.Write(L"Kestrel5", L"Options", key, value);
    StartOverPattern();
    OpenOverlay();
    PointAt(pointer);
    PumpFor(300ms);  // the paint of the guide follows the crosshair's
    const POINT boxCorner{pointer.x + 5, pointer.y + 5};
    EXPECT_EQ(BoxAt(boxCorner), c.box);
    EXPECT_EQ(BoxAt({pointer.x + 75, pointer.y + 5}), c.frame);
    const POINT image = LupeImageAt(pointer, false, false);
    EXPECT_EQ(static_cast<bool>(LupeShows(image, pointer)), c.lupe);
    // The guide's whole area beside the pointer, apart from the crosshair.
    const RECT area{pointer.x + 1, pointer.y + 1, pointer.x + 400, pointer.y + 120};
    const auto picture = ScreenPicture(area);
    ASSERT_TRUE(picture);
    bool anyGuide = false;
    for (int y = 0; y < picture->height && !anyGuide; ++y)
      for (int x = 0; x < picture->width && !anyGuide; ++x)
        anyGuide = picture->at(x, y) != PatternPixel(Pattern::Plain, area.left + x, area.top + y);
    EXPECT_EQ(anyGuide, c.anyGuidePixel);
    CloseOverlay({640, 400});
    program_.reset();
    store_.Clear();
  }
}

TEST_F(Guide, MiddleClickTogglesTheMagnifierAtOnceAndForTheNextStart) {
  const POINT pointer{400, 300};
  const POINT image = LupeImageAt(pointer, false, false);
  StartOverPattern();
  OpenOverlay();
  PointAt(pointer);
  ASSERT_TRUE(WaitUntil([&] { return LupeShows(image, pointer); }, 3s));
  ASSERT_TRUE(input::ClickAt(pointer, Button::Middle));
  // The frame moves in where the magnifier was.
  EXPECT_TRUE(WaitUntil(
      [&] {
        return BoxAt({pointer.x + 5, pointer.y + 5}) && !LupeShows(image, pointer);
      },
      3s));
  CloseOverlay(pointer);
  QuitByMenu();
  ASSERT_EQ(program_->WaitExit(), std::optional<DWORD>(0));
  EXPECT_EQ(store_.Read(L"Kestrel5", L"Options", L"PGLupe"), std::optional<std::wstring>(L"False"));

  Start();
  OpenOverlay();
  PointAt(pointer);
  PumpFor(300ms);
  EXPECT_FALSE(LupeShows(image, pointer)) << "the next start keeps the magnifier off";
  ASSERT_TRUE(input::ClickAt(pointer, Button::Middle));
  EXPECT_TRUE(WaitUntil([&] { return LupeShows(image, pointer); }, 3s));
  CloseOverlay(pointer);
}

TEST_F(Guide, CrosshairPulsesThroughTheGreysAndShiftMiddleFreezesIt) {
  const POINT pointer{400, 300};
  const POINT onLine{pointer.x, pointer.y - 60};
  const auto grey = [&] { return ScreenPixel(onLine); };
  const auto isGrey = [](uint32_t c) {
    const uint32_t v = c & 0xFF;
    return c == (v | v << 8 | v << 16) && kPulseGreys.count(v) == 1;
  };
  StartOverPattern();
  OpenOverlay();
  PointAt(pointer);
  std::set<uint32_t> seen;
  for (int i = 0; i < 40; ++i) {
    const uint32_t c = grey();
    EXPECT_TRUE(isGrey(c)) << "the crosshair shows " << std::hex << c;
    seen.insert(c);
    PumpFor(37ms);
  }
  EXPECT_GE(seen.size(), 4u) << "the crosshair pulses";

  const auto shiftMiddle = [&] {
    const input::HeldModifiers shift({Modifier::Shift});
    ASSERT_TRUE(shift.held());
    ASSERT_TRUE(input::ClickAt(pointer, Button::Middle));
  };
  shiftMiddle();
  PumpFor(200ms);
  const uint32_t frozen = grey();
  PumpFor(300ms);
  EXPECT_EQ(grey(), frozen) << "Shift + middle click freezes the pulse";
  shiftMiddle();
  EXPECT_TRUE(WaitUntil([&] { return grey() != frozen; }, 2s)) << "a second one resumes it";
  CloseOverlay(pointer);
}

// A cut chosen from the tray menu, at once or after a countdown of no length
// (the timed item with "CutTimerTime" 0, or with its input box answered 0):
// the frozen picture, read back through a cut of the place where the menu
// stood, shows what lay there before. The input box stands over the middle
// of the screen, which both places' areas reach into.
TEST_F(Guide, ACutFromTheTrayMenuNeverShowsTheMenu) {
  constexpr int kRuns = 20;
  const SIZE screen = ScreenSize();
  struct Way {
    const char* rule;
    const wchar_t* cutterMode;
    const wchar_t* cutTimerTime;
    WORD key;
    const wchar_t* answer;  // typed into the input box; nullptr: no box
  };
  const Way ways[] = {
      {"the cut item", L"0", L"3", 'S', nullptr},
      {"the timed item, CutTimerTime 0", L"0", L"0", 'T', nullptr},
      {"the timed item, its input box answered 0", L"1", L"3", 'T', L"0"},
  };
  struct Place {
    const char* rule;
    POINT menuAt;  // where the menu opens
    RECT area;     // where it stands, and more
  };
  const Place places[] = {
      {"over the plain desktop", {300, 200}, {300, 200, 650, 600}},
      {"over the taskbar", {700, screen.cy - 4}, {700, screen.cy - 400, 1050, screen.cy - 1}},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.rule);
    program_.reset();
    store_.Clear();
    store_.Write(L"Kestrel5", L"Options", L"CutterMode", way.cutterMode);
    store_.Write(L"Kestrel5", L"Options", L"CutTimerTime", way.cutTimerTime);
    Start();
    for (const Place& place : places) {
      SCOPED_TRACE(place.rule);
      ASSERT_TRUE(input::MoveTo(place.menuAt));
      const auto before = ScreenPicture(place.area);
      ASSERT_TRUE(before);
      int clean = 0;
      int missedDrags = 0;
      std::string traces;
      for (int run = 0; run < kRuns; ++run) {
        ASSERT_TRUE(input::MoveTo(place.menuAt));
        OpenTrayMenu();
        input::Key(way.key);
        if (way.answer) {
          const HWND box = FindInputBox(*program_, kestrel::kFreeTimerScreenCutTitle);
          ASSERT_NE(box, nullptr) << "no input box";
          Answer(box, way.answer);
        }
        ASSERT_TRUE(WaitOverlayShown());
        DragOnOverlay({place.area.left, place.area.top}, {place.area.right, place.area.bottom});
        const auto frozen = ClipboardPicture();
        ASSERT_TRUE(frozen);
        if (frozen->width != before->width || frozen->height != before->height) {
          // Now and then Wine puts the press back where the pointer was
          // before: that cut tells nothing about the menu, so it is repeated.
          ASSERT_LT(++missedDrags, kRuns / 4) << "drags keep missing their corner";
          --run;
          continue;
        }
        if (frozen->pixels == before->pixels) {
          ++clean;
        } else {
          traces += "; run " + std::to_string(run) + ": " + Difference(*frozen, *before);
        }
      }
      EXPECT_EQ(clean, kRuns) << "runs whose frozen picture held no trace of the menu" << traces;
    }
  }
}

}  // namespace
}  // namespace e2e
