// The rectangle a drag selects on the overlay and the pixels it hands on to
// the clipboard, checked against the screen pattern pixel by pixel.

#include <optional>

#include "e2e/support/cut_fixture.h"

namespace e2e {
namespace {

using input::Modifier;

struct DragCase {
  const char* rule;
  POINT from;
  POINT to;
  std::initializer_list<Modifier> modifiers;
  RECT expected;  // left, top, right (exclusive), bottom (exclusive)
};

class CutSelection : public CutTest {};

TEST_F(CutSelection, DragsCutExactlyTheSelectedPixels) {
  // The grid step is the default, 16.
  const DragCase cases[] = {
      {"a drag cuts its rectangle, the far column and row excluded",
       {200, 150},
       {300, 290},
       {},
       {200, 150, 300, 290}},
      {"bottom-right to top-left cuts the same rectangle",
       {300, 290},
       {200, 150},
       {},
       {200, 150, 300, 290}},
      {"Ctrl snaps the press to the grid and the release in whole steps",
       {37, 50},
       {70, 90},
       {Modifier::Ctrl},
       {32, 48, 64, 80}},
      {"Ctrl truncates a step back past the start to the start",
       {37, 50},
       {20, 40},
       {Modifier::Ctrl},
       EmptyArea()},
      {"Shift shortens the longer side",
       {100, 100},
       {150, 130},
       {Modifier::Shift},
       {100, 100, 130, 130}},
      {"Shift keeps the pointer's quadrant",
       {100, 100},
       {60, 170},
       {Modifier::Shift},
       {60, 100, 100, 140}},
      {"Ctrl + Alt neither snaps nor squares",
       {37, 50},
       {70, 90},
       {Modifier::Ctrl, Modifier::Alt},
       {37, 50, 70, 90}},
      {"Shift + Alt neither snaps nor squares",
       {100, 100},
       {150, 130},
       {Modifier::Shift, Modifier::Alt},
       {100, 100, 150, 130}},
  };
  StartOverPattern();
  for (const DragCase& c : cases) {
    SCOPED_TRACE(c.rule);
    ASSERT_TRUE(SetClipboardText(L"before"));
    Cut(c.from, c.to, c.modifiers);
    if (c.expected.right == c.expected.left) {
      EXPECT_EQ(ClipboardFormatCount(), 0) << "a 0 x 0 cut leaves the clipboard empty";
    } else {
      EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, c.expected));
    }
  }
}

TEST_F(CutSelection, ArrowKeysPlaceAndSizeTheCutPixelByPixel) {
  const LONG width = GetSystemMetrics(SM_CXSCREEN);
  const LONG height = GetSystemMetrics(SM_CYSCREEN);
  struct KeyedCase {
    const char* rule;
    POINT from;                          // where the pointer is sent first
    std::initializer_list<WORD> before;  // keys before the press
    std::optional<POINT> dragTo;         // a pointer move during the drag
    std::initializer_list<WORD> during;  // keys while the button is held
    RECT expected;
    std::initializer_list<Modifier> modifiers = {};  // held from before the press
  };
  const KeyedCase cases[] = {
      {"keys during a drag size the cut",
       {200, 150},
       {},
       std::nullopt,
       {VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_DOWN, VK_DOWN, VK_DOWN},
       {200, 150, 206, 153}},
      {"keys place the first corner, then size the cut up and to the left",
       {300, 200},
       {VK_LEFT, VK_LEFT, VK_UP},
       std::nullopt,
       {VK_LEFT, VK_LEFT, VK_LEFT, VK_LEFT, VK_UP, VK_UP},
       {294, 197, 298, 199}},
      {"keys fine-tune a dragged corner",
       {100, 100},
       {},
       POINT{150, 140},
       {VK_LEFT, VK_LEFT, VK_LEFT, VK_DOWN},
       {100, 100, 147, 141}},
      {"keys stop at the top-left edge",
       {1, 1},
       {VK_LEFT, VK_LEFT, VK_UP, VK_UP},
       std::nullopt,
       {VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_DOWN, VK_DOWN},
       {0, 0, 4, 2}},
      {"keys stop at the bottom-right edge",
       {width - 3, height - 2},
       {},
       std::nullopt,
       {VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_DOWN, VK_DOWN, VK_DOWN},
       {width - 3, height - 2, width - 1, height - 1}},
      {"with Shift the keyed corner keeps the selection square",
       {100, 100},
       {},
       POINT{120, 110},
       {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN},
       {100, 100, 115, 115},
       {Modifier::Shift}},
  };
  StartOverPattern();
  for (const KeyedCase& c : cases) {
    SCOPED_TRACE(c.rule);
    ASSERT_TRUE(SetClipboardText(L"before"));
    OpenOverlay();
    POINT at = c.from;
    ASSERT_TRUE(input::MoveTo(at));
    ASSERT_TRUE(PressArrows(c.before, at));
    const input::HeldModifiers held(c.modifiers);
    ASSERT_TRUE(held.held()) << "the modifiers did not reach the system";
    input::Press(input::Button::Left);
    if (c.dragTo) {
      at = *c.dragTo;
      ASSERT_TRUE(input::MoveTo(at));
    }
    ASSERT_TRUE(PressArrows(c.during, at));
    input::Release(input::Button::Left);
    ASSERT_TRUE(WaitOverlayGone()) << "the overlay did not close after the drag";
    EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, c.expected));
  }
}

TEST_F(CutSelection, CtrlDoesNothingWhileTheGridIsOff) {
  store_.Write(L"Kestrel5", L"Options", L"CtrlGrid", L"False");
  StartOverPattern();
  Cut({37, 50}, {70, 90}, {Modifier::Ctrl});
  EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, {37, 50, 70, 90}));
}

TEST_F(CutSelection, APressAndReleaseAtOnePointHandsOnAnEmptyCut) {
  StartOverPattern();
  ASSERT_TRUE(SetClipboardText(L"before"));
  EXPECT_FALSE(MenuSaysACutExists());
  Cut({400, 300}, {400, 300});
  EXPECT_EQ(ClipboardFormatCount(), 0) << "the clipboard was emptied";
  EXPECT_TRUE(MenuSaysACutExists());
}

TEST_F(CutSelection, QuittingAfterOnlyAMiddleClickWritesOnlyTheMagnifierSwitch) {
  StartOverPattern();
  OpenOverlay();
  ASSERT_TRUE(input::ClickAt({500, 300}, input::Button::Middle));
  ASSERT_TRUE(input::ClickAt({500, 300}, input::Button::Right));
  ASSERT_TRUE(WaitOverlayGone());
  QuitByMenu();
  ASSERT_EQ(program_->WaitExit(), std::optional<DWORD>(0));
  const auto written = store_.Dump(L"Kestrel5");
  ASSERT_EQ(written.size(), 1u);
  EXPECT_EQ(Utf8(written[0]), "Options\\PGLupe=False");
}

}  // namespace
}  // namespace e2e
