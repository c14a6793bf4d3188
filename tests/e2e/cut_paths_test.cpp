// The cut as the user reaches it (tray menu, double click, Windows + C) and
// what happens around it: cancelling, re-cutting, the last picture, clearing,
// and a clipboard another program holds open.

#include <functional>
#include <utility>

#include "e2e/support/cut_fixture.h"

namespace e2e {
namespace {

using input::Button;

constexpr RECT kArea = {150, 100, 420, 330};
constexpr POINT kAreaTopLeft = {kArea.left, kArea.top};
constexpr POINT kAreaBottomRight = {kArea.right, kArea.bottom};

// The crosshair is drawn over the frozen pattern through a point: pixels of
// its column and row away from the point no longer show the pattern.
bool CrosshairThrough(POINT at) {
  const HDC screen = GetDC(nullptr);
  if (!screen) return false;
  const POINT probes[] = {
      {at.x, at.y - 40}, {at.x, at.y + 40}, {at.x - 40, at.y}, {at.x + 40, at.y}};
  bool drawn = true;
  for (const POINT& p : probes) {
    const COLORREF c = GetPixel(screen, p.x, p.y);
    const uint32_t rgb = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    drawn = drawn && c != CLR_INVALID && rgb != PatternPixel(Pattern::Plain, p.x, p.y);
  }
  ReleaseDC(nullptr, screen);
  return drawn;
}

class CutPaths : public CutTest {
 protected:
  // Waits until the program has handled everything posted to it so far: the
  // tray menu it then opens is queued behind it.
  void WaitIdleProgram() {
    OpenTrayMenu();
    CloseMenu();
  }
  // Drags the test area over the pattern and releases the button while
  // another program holds the clipboard open; whileHeld runs before the
  // clipboard is let go.
  void CutWhileClipboardHeld(const std::function<void()>& whileHeld) {
    StartOverPattern();
    ASSERT_TRUE(SetClipboardText(L"before"));
    OpenOverlay();
    ASSERT_TRUE(input::MoveTo(kAreaTopLeft));
    input::Press(Button::Left);
    ASSERT_TRUE(input::MoveTo(kAreaBottomRight));
    ClipboardHold hold;
    ASSERT_TRUE(hold.held());
    input::Release(Button::Left);
    whileHeld();
  }
};

TEST_F(CutPaths, EveryWayInReachesTheSameCut) {
  struct Way {
    const char* name;
    std::function<void()> open;
  };
  const Way ways[] = {
      {"the tray menu's first item, by its mnemonic",
       [this] {
         OpenTrayMenu();
         input::Key('S');
       }},
      {"a double click on the icon", [this] { program_->TrayCallback(WM_LBUTTONDBLCLK); }},
      {"Windows + C",
       [this] {
         // The C must reach no window of the program.
         ASSERT_TRUE(Activate(pattern_->window()));
         input::WindowsC();
       }},
      {"the end of a countdown, another program in front",
       [this] {
         ASSERT_TRUE(Activate(pattern_->window()));
         program_->Command(kTimerScreenCutCommand);
       }},
  };
  store_.Write(L"Kestrel5", L"Options", L"Hotkey", L"True");
  store_.Write(L"Kestrel5", L"Options", L"CutTimerTime", L"1");
  store_.Write(L"Kestrel5", L"Options", L"CountType", L"0");
  StartOverPattern();
  int shift = 0;
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    // A different rectangle each time, so no earlier cut can pass for this one.
    shift += 7;
    const RECT area{kArea.left + shift, kArea.top + shift, kArea.right + shift, kArea.bottom};
    ASSERT_TRUE(SetClipboardText(L"before"));
    way.open();
    ASSERT_TRUE(WaitOverlayShown()) << "no overlay";
    ASSERT_TRUE(input::MoveTo({area.left, area.top}));
    input::Press(Button::Left);
    POINT at{area.right - 2, area.bottom - 1};
    ASSERT_TRUE(input::MoveTo(at));
    // The overlay has the keyboard, whichever way it opened.
    ASSERT_TRUE(PressArrows({VK_RIGHT, VK_RIGHT, VK_DOWN}, at));
    input::Release(Button::Left);
    ASSERT_TRUE(WaitOverlayGone()) << "the overlay did not close after the drag";
    EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, area));
  }
}

TEST_F(CutPaths, ARightClickCancelsAndKeepsTheEarlierPicture) {
  StartOverPattern();
  Cut(kAreaTopLeft, kAreaBottomRight);
  ASSERT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, kArea));
  const DWORD sequence = GetClipboardSequenceNumber();
  OpenOverlay();
  ASSERT_TRUE(input::ClickAt({600, 400}, Button::Right));
  ASSERT_TRUE(WaitOverlayGone());
  EXPECT_EQ(GetClipboardSequenceNumber(), sequence) << "the clipboard was written";
  EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, kArea));
  ASSERT_TRUE(SetClipboardText(L"other"));
  program_->Command(kLastPictureCommand);
  EXPECT_TRUE(WaitUntil([] { return ClipboardPicture().has_value(); }));
  EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, kArea)) << "last picture";
}

TEST_F(CutPaths, EscClosesWithoutACutBeforeAndDuringADrag) {
  struct EscCase {
    const char* rule;
    bool dragging;
  };
  const EscCase cases[] = {{"before a drag", false}, {"during a drag", true}};
  StartOverPattern();
  Cut(kAreaTopLeft, kAreaBottomRight);
  ASSERT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, kArea));
  ASSERT_TRUE(SetClipboardText(L"before"));
  const DWORD sequence = GetClipboardSequenceNumber();
  for (const EscCase& c : cases) {
    SCOPED_TRACE(c.rule);
    OpenOverlay();
    ASSERT_TRUE(input::MoveTo({500, 350}));
    if (c.dragging) {
      input::Press(Button::Left);
      ASSERT_TRUE(input::MoveTo({620, 420}));
    }
    input::Key(VK_ESCAPE);
    ASSERT_TRUE(WaitOverlayGone()) << "Esc did not close the overlay";
    // The button let go after Esc cuts nothing.
    if (c.dragging) input::Release(Button::Left);
    WaitIdleProgram();
    EXPECT_EQ(GetClipboardSequenceNumber(), sequence) << "the clipboard was written";
    EXPECT_EQ(ClipboardText(), std::optional<std::wstring>(L"before"));
  }
  // The last area is still the one cut before.
  ShowPattern(Pattern::Inverted);
  program_->Command(kReScreenCutCommand);
  EXPECT_TRUE(
      WaitUntil([] { return bool(IsPatternArea(ClipboardPicture(), Pattern::Inverted, kArea)); }));
  EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Inverted, kArea));
}

TEST_F(CutPaths, ARightClickDuringADragDropsItAndASecondOneCloses) {
  StartOverPattern();
  ASSERT_TRUE(SetClipboardText(L"before"));
  OpenOverlay();
  ASSERT_TRUE(input::MoveTo(kAreaTopLeft));
  input::Press(Button::Left);
  ASSERT_TRUE(input::MoveTo(kAreaBottomRight));
  input::Press(Button::Right);
  input::Release(Button::Right);
  // Waiting again, the overlay shows the crosshair where the pointer goes.
  const POINT elsewhere{kArea.right + 100, kArea.bottom + 50};
  ASSERT_TRUE(input::MoveTo(elsewhere));
  EXPECT_TRUE(WaitUntil([&] { return CrosshairThrough(elsewhere); }))
      << "the selection was not dropped";
  // The left release that ended the drag before now does nothing.
  input::Release(Button::Left);
  ASSERT_TRUE(input::ClickAt(elsewhere, Button::Right));
  ASSERT_TRUE(WaitOverlayGone()) << "the second right click did not close the overlay";
  EXPECT_EQ(ClipboardText(), std::optional<std::wstring>(L"before"));
  EXPECT_FALSE(MenuSaysACutExists());
}

TEST_F(CutPaths, AReCutTakesTheSameRectangleFromTheScreenAsItIsNow) {
  StartOverPattern();
  // Dragged from the bottom right: the re-cut still orders the corners.
  Cut(kAreaBottomRight, kAreaTopLeft);
  ASSERT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, kArea));
  ShowPattern(Pattern::Inverted);
  program_->Command(kReScreenCutCommand);
  EXPECT_TRUE(
      WaitUntil([] { return bool(IsPatternArea(ClipboardPicture(), Pattern::Inverted, kArea)); }));
  EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Inverted, kArea));
  // The clipboard is written before the overlay goes: wait for it to go.
  EXPECT_TRUE(WaitOverlayGone()) << "the re-cut leaves no overlay";
}

TEST_F(CutPaths, AReCutBeforeAnyCutChangesNothing) {
  StartOverPattern();
  ASSERT_TRUE(SetClipboardText(L"before"));
  const DWORD sequence = GetClipboardSequenceNumber();
  program_->Command(kReScreenCutCommand);
  WaitIdleProgram();
  EXPECT_EQ(OverlayWindow(), nullptr);
  EXPECT_EQ(GetClipboardSequenceNumber(), sequence);
  EXPECT_EQ(ClipboardText(), std::optional<std::wstring>(L"before"));
  EXPECT_FALSE(MenuSaysACutExists());
}

TEST_F(CutPaths, TheLastPictureComesBackAfterAReplacedOrClearedClipboard) {
  StartOverPattern();
  Cut(kAreaTopLeft, kAreaBottomRight);
  ASSERT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, kArea));
  // The screen changes: the last picture is the one retained, not a new cut.
  ShowPattern(Pattern::Inverted);

  ASSERT_TRUE(SetClipboardText(L"another program's text"));
  program_->Command(kLastPictureCommand);
  EXPECT_TRUE(WaitUntil([] { return ClipboardPicture().has_value(); }));
  EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, kArea)) << "after a replace";

  program_->Command(kClearCommand);
  EXPECT_TRUE(WaitUntil([] { return ClipboardFormatCount() == 0; })) << "not cleared";
  program_->Command(kLastPictureCommand);
  EXPECT_TRUE(WaitUntil([] { return ClipboardPicture().has_value(); }));
  EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, kArea)) << "after clearing";
}

TEST_F(CutPaths, TheCutStaysOnTheClipboardAfterTheProgramEnds) {
  StartOverPattern();
  Cut(kAreaTopLeft, kAreaBottomRight);
  QuitByMenu();
  ASSERT_EQ(program_->WaitExit(), std::optional<DWORD>(0));
  EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, kArea));
}

// A clipboard held open by another program while the cut is handed on.
TEST_F(CutPaths, AClipboardHeldBrieflyStillTakesTheCut) {
  CutWhileClipboardHeld([] {
    // The overlay hides just before the picture is handed on.
    ASSERT_TRUE(WaitUntil([] { return !OverlayVisible(); }));
    // Busy for a moment, well inside the program's quarter-second of retries.
    PumpFor(30ms);
  });
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_TRUE(WaitOverlayGone());
  EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, kArea));
}

TEST_F(CutPaths, AClipboardHeldThroughTheCutKeepsThePictureForLater) {
  // The program gives up on the clipboard and closes the overlay.
  CutWhileClipboardHeld([] { ASSERT_TRUE(WaitOverlayGone()); });
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(ClipboardText(), std::optional<std::wstring>(L"before"));
  EXPECT_TRUE(MenuSaysACutExists());
  program_->Command(kLastPictureCommand);
  EXPECT_TRUE(WaitUntil([] { return ClipboardPicture().has_value(); }));
  EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, kArea));
}

// Windows + C held by another program from before the start: the program
// comes up without a word about it, everything else works, and the other
// program keeps its hotkey.
class OthersHotkey {
 public:
  OthersHotkey() : held_(RegisterHotKey(nullptr, kId, MOD_WIN, 'C') != FALSE) {}
  ~OthersHotkey() { Release(); }
  OthersHotkey(const OthersHotkey&) = delete;
  OthersHotkey& operator=(const OthersHotkey&) = delete;
  bool held() const { return held_; }
  // True when it was still registered to its owner.
  bool Release() { return std::exchange(held_, false) && UnregisterHotKey(nullptr, kId); }

 private:
  static constexpr int kId = 0x4B35;
  bool held_;
};

TEST_F(CutPaths, AHotkeyTakenByAnotherProgramChangesNothingElse) {
  OthersHotkey others;
  ASSERT_TRUE(others.held());
  store_.Write(L"Kestrel5", L"Options", L"Hotkey", L"True");
  StartOverPattern();
  EXPECT_TRUE(MenuSaysACutExists() == false) << "the menu answers as after any start";
  // The double-click action releases and registers the hotkey around itself.
  program_->TrayCallback(WM_LBUTTONDBLCLK);
  ASSERT_TRUE(WaitOverlayShown());
  DragOnOverlay(kAreaTopLeft, kAreaBottomRight);
  EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, kArea));
  EXPECT_TRUE(MenuSaysACutExists());
  EXPECT_TRUE(WindowsOf(program_->processId(), L"#32770").empty()) << "nothing is reported";
  QuitByMenu();
  EXPECT_EQ(program_->WaitExit(), std::optional<DWORD>(0));
  EXPECT_TRUE(others.Release()) << "the other program kept its hotkey";
}

}  // namespace
}  // namespace e2e
