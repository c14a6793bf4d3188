// The cut on displays other than the one plain screen of the test run: a
// desktop scaled to 144 dpi and two monitors side by side. Each test runs only
// on the display it is written for (KESTREL_E2E_DISPLAY, set by
// display_variant.sh); it checks first that the display is really that one.

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "common/twips.h"
#include "e2e/support/cut_fixture.h"
#include "e2e/support/layout.h"
#include "e2e/support/options_dialog.h"
#include "e2e/support/scaled_dialogs.h"
#include "tray/tray_logic.h"

namespace e2e {
namespace {

std::string DisplayVariantName() {
  const char* name = std::getenv("KESTREL_E2E_DISPLAY");
  return name ? name : "";
}

struct Monitor {
  RECT area;
  bool primary;
};

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoW(monitor, &info)) {
    reinterpret_cast<std::vector<Monitor>*>(data)->push_back(
        {info.rcMonitor, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  }
  return TRUE;
}

std::vector<Monitor> Monitors() {
  std::vector<Monitor> monitors;
  EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

std::string Describe(const RECT& r) {
  std::ostringstream out;
  out << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
  return out.str();
}

std::string Describe(const std::vector<Monitor>& monitors) {
  std::string out;
  for (const Monitor& m : monitors) out += Describe(m.area) + (m.primary ? " primary; " : "; ");
  return out;
}

::testing::AssertionResult HasMonitors(const std::vector<Monitor>& expected) {
  const auto actual = Monitors();
  bool same = actual.size() == expected.size();
  for (const Monitor& want : expected) {
    bool found = false;
    for (const Monitor& have : actual)
      found = found || (EqualRect(&have.area, &want.area) && have.primary == want.primary);
    same = same && found;
  }
  if (same) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the display is not the one of this test: monitors "
                                       << Describe(actual) << "expected " << Describe(expected);
}

::testing::AssertionResult OverlayCovers(const RECT& expected) {
  RECT actual{};
  if (!GetWindowRect(OverlayWindow(), &actual))
    return ::testing::AssertionFailure() << "no overlay";
  if (EqualRect(&actual, &expected)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "the overlay covers " << Describe(actual) << ", expected " << Describe(expected);
}

// Skips unless the display is the variant's (display_variant.sh runs each
// variant's tests on its own display).
class DisplayVariant : public CutTest {
 protected:
  explicit DisplayVariant(const char* variant) : variant_(variant) {}
  void SetUp() override {
    if (DisplayVariantName() != variant_)
      GTEST_SKIP() << "runs only on the display " << variant_ << " (display_variant.sh)";
    // Physical pixels, as the program works in: positions and sizes on a
    // scaled desktop are not scaled for this process.
    SetProcessDPIAware();
    CutTest::SetUp();
  }
  void TearDown() override {
    if (!IsSkipped()) CutTest::TearDown();
  }

 private:
  std::string variant_;
};

class ScaledDesktop : public DisplayVariant {
 protected:
  ScaledDesktop() : DisplayVariant("dpi144") {}
};
class MonitorRightOfPrimary : public DisplayVariant {
 protected:
  MonitorRightOfPrimary() : DisplayVariant("monitor-right") {}
};
class MonitorLeftOfPrimary : public DisplayVariant {
 protected:
  MonitorLeftOfPrimary() : DisplayVariant("monitor-left") {}
};

TEST_F(ScaledDesktop, ACutAt144DpiIsPixelExact) {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(dpi, 144) << "the desktop is not scaled";
  StartOverPattern();
  OpenOverlay();
  EXPECT_TRUE(OverlayCovers({0, 0, 1280, 800}));
  DragOnOverlay({100, 100}, {300, 250});
  EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, {100, 100, 300, 250}));
  // Near the far corner, which a capture in scaled pixels would not reach.
  Cut({1279, 799}, {1100, 650});
  EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, {1100, 650, 1279, 799}));
}

// At 144 dpi the options dialog is one and a half times as large, and every
// control keeps its place relative to the others.
TEST_F(ScaledDesktop, TheOptionsDialogScalesWithTheDesktop) {
  Start();
  program_->Command(static_cast<UINT>(kestrel::MenuCommand::Options));
  HWND window = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (window = FindOptionsDialog(program_->processId())); }));
  const OptionsDialog dialog(window, program_->process());
  RECT outer{};
  GetWindowRect(window, &outer);
  EXPECT_EQ(outer.right - outer.left, 717) << "7170 twips at 10 twips a pixel";
  EXPECT_EQ(outer.bottom - outer.top, 542);
  ExpectLayout(dialog, 144);
  ASSERT_TRUE(Activate(window));
  input::Key(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(window); }));
}

// At 144 dpi the about box and the input box take their client areas from
// their twips, the about box's children their designed places (a label may
// grow to its text), every child lies inside and every text fits its control.
TEST_F(ScaledDesktop, TheAboutBoxAndTheInputBoxAreLaidOutFromTwips) {
  using kestrel::TwipsBox;
  struct Row {
    const ScaledDialog& dialog;
    TwipsBox client;
    std::vector<TwipsBox> children;  // in creation order; empty: not checked
  };
  const Row rows[] = {
      {kScaledDialogs[1],
       {0, 0, 6030, 1590},
       {{240, 120, 960, 960},
        {1440, 120, 1440, 240},
        {1440, 480, 1005, 180},
        {1440, 960, 2445, 210},
        {1440, 1200, 3135, 270},
        {4680, 1080, 1215, 375}}},
      {kScaledDialogs[2], {0, 0, 6600, 1700}, {}},
  };
  constexpr int kDpi = 144;
  Start();
  LayoutProbe probe(*program_);
  ASSERT_TRUE(probe.hooked());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.dialog.name);
    const HWND window = OpenScaledDialog(*program_, row.dialog);
    ASSERT_NE(window, nullptr) << Describe(*program_);
    const auto layout = probe.Read(window);
    ASSERT_TRUE(layout);
    const kestrel::PixelBox client = kestrel::TwipsToPixels(row.client, kDpi);
    EXPECT_EQ(layout->client.cx, client.width);
    EXPECT_EQ(layout->client.cy, client.height);
    EXPECT_EQ(Overflows(*layout), "");
    if (!row.children.empty()) {
      ASSERT_EQ(layout->children.size(), row.children.size());
      for (size_t i = 0; i < row.children.size(); ++i) {
        const kestrel::PixelBox want = kestrel::TwipsToPixels(row.children[i], kDpi);
        const ChildLayout& have = layout->children[i];
        SCOPED_TRACE(Utf8(have.className) + " " + Utf8(have.text));
        EXPECT_EQ(have.at.left, want.left);
        EXPECT_EQ(have.at.top, want.top);
        const bool label = have.className == L"Static" && !have.text.empty();
        EXPECT_TRUE(label ? have.at.right >= want.left + want.width
                          : have.at.right == want.left + want.width)
            << have.at.right;
        EXPECT_TRUE(label ? have.at.bottom >= want.top + want.height
                          : have.at.bottom == want.top + want.height)
            << have.at.bottom;
      }
    }
    EXPECT_TRUE(CloseScaledDialog(window));
  }
}

// The guide's texts at 144 dpi, dragging (its longest coordinate line and
// description): beside the pointer, every pixel that is not the pattern
// belongs to the magnifier's box or to the frame.
TEST_F(ScaledDesktop, ThePointerGuideKeepsItsTextsInItsFrame) {
  const POINT from{300, 250}, pointer{400, 300};
  // The magnifier's box right of and below the pointer, the frame beyond it.
  const RECT box{pointer.x + 5, pointer.y + 5, pointer.x + 70, pointer.y + 70};
  const POINT frameCorner{pointer.x + 75, pointer.y + 5};
  const COLORREF fill = GetSysColor(COLOR_INFOBK);
  const uint32_t infoBackground = GetRValue(fill) << 16 | GetGValue(fill) << 8 | GetBValue(fill);
  StartOverPattern();
  OpenOverlay();
  ASSERT_TRUE(input::MoveTo(from));
  input::Press(input::Button::Left);
  ASSERT_TRUE(input::MoveTo({350, 280}));
  ASSERT_TRUE(input::MoveTo(pointer));
  // Crosshair and rectangle lie on the pointer's row and column: left out.
  const RECT area{pointer.x + 2, pointer.y + 2, pointer.x + 700, pointer.y + 200};
  std::optional<Picture> shot;
  const auto at = [&](POINT p) { return shot->at(p.x - area.left, p.y - area.top); };
  const bool framed = WaitUntil([&] {
    shot = ScreenPicture(area);
    return shot && at(frameCorner) == 0 &&
           at({frameCorner.x + 2, frameCorner.y + 2}) == infoBackground;
  });
  PumpFor(300ms);
  shot = ScreenPicture(area);
  input::Release(input::Button::Left);
  ASSERT_TRUE(WaitOverlayGone());
  ASSERT_TRUE(framed && shot) << "no frame beside the pointer";
  // The frame's black outline from its corner to the right and down.
  POINT end = frameCorner;
  while (end.x + 1 < area.right && at({end.x + 1, frameCorner.y}) == 0) ++end.x;
  while (end.y + 1 < area.bottom && at({frameCorner.x, end.y + 1}) == 0) ++end.y;
  const RECT frame{frameCorner.x, frameCorner.y, end.x + 1, end.y + 1};
  int outside = 0;
  POINT first{};
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      const POINT p{x, y};
      if (PtInRect(&box, p) || PtInRect(&frame, p)) continue;
      if (at(p) == PatternPixel(Pattern::Plain, x, y)) continue;
      if (outside++ == 0) first = p;
    }
  }
  EXPECT_EQ(outside, 0) << "guide pixels outside the frame " << Describe(frame)
                        << ", the first at (" << first.x << ", " << first.y << ")";
}

TEST_F(MonitorRightOfPrimary, TheOverlayCoversBothAndACutAcrossTheBorderIsExact) {
  ASSERT_TRUE(HasMonitors({{{0, 0, 1024, 768}, true}, {{1024, 0, 2304, 800}, false}}));
  StartOverPattern();
  OpenOverlay();
  EXPECT_TRUE(OverlayCovers({0, 0, 2304, 800}));
  DragOnOverlay({1000, 100}, {1100, 200});
  EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, {1000, 100, 1100, 200}));
  // Below the primary's bottom edge, on the taller right monitor only.
  Cut({1200, 700}, {1300, 790});
  EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, {1200, 700, 1300, 790}));
}

TEST_F(MonitorLeftOfPrimary, StaysUncoveredAndACutOnThePrimaryIsExact) {
  ASSERT_TRUE(HasMonitors({{{-1024, 0, 0, 768}, false}, {{0, 0, 1280, 800}, true}}));
  StartOverPattern();
  OpenOverlay();
  EXPECT_TRUE(OverlayCovers({0, 0, 1280, 800}));
  DragOnOverlay({100, 100}, {300, 250});
  EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, {100, 100, 300, 250}));
}

}  // namespace
}  // namespace e2e
