#pragma once
// A test of the cut: the program runs over the screen pattern, the overlay is
// opened and a rectangle is dragged with real input.

#include <algorithm>
#include <initializer_list>
#include <memory>

#include "e2e/support/fixture.h"
#include "e2e/support/pointer.h"
#include "e2e/support/screen.h"

namespace e2e {

// Commands of the resident window (menu item identifiers).
inline constexpr UINT kScreenCutCommand = 1001;
inline constexpr UINT kTimerScreenCutCommand = 1002;
inline constexpr UINT kReScreenCutCommand = 1004;
inline constexpr UINT kLastPictureCommand = 1006;
inline constexpr UINT kClearCommand = 1007;

// How long the pointer must stay where an arrow key put it.
inline constexpr auto kArrowSteadyFor = std::chrono::milliseconds(100);

inline constexpr RECT EmptyArea() { return {0, 0, 0, 0}; }

class CutTest : public ProgramTest {
 protected:
  void TearDown() override {
    // A failed drag may leave a button or a modifier held; the next test
    // must start from a quiet keyboard and mouse.
    if (GetAsyncKeyState(VK_LBUTTON) < 0) input::Release(input::Button::Left);
    if (GetAsyncKeyState(VK_RBUTTON) < 0) input::Release(input::Button::Right);
    if (GetAsyncKeyState(VK_MBUTTON) < 0) input::Release(input::Button::Middle);
    EXPECT_TRUE(input::ReleaseAllModifiers());
    program_.reset();
    pattern_.reset();
    // No picture of this test is left for the next one to mistake for its own.
    EXPECT_TRUE(ClearClipboard());
  }

  // Shows the pattern, then starts the program over it.
  void StartOverPattern(Pattern pattern = Pattern::Plain) {
    ShowPattern(pattern);
    Start();
  }
  void ShowPattern(Pattern pattern) {
    pattern_.reset();
    pattern_ = std::make_unique<PatternWindow>(pattern);
    ASSERT_TRUE(pattern_->shown()) << "the screen does not show the pattern";
  }

  // Opens the overlay through the cut command.
  void OpenOverlay() {
    program_->Command(kScreenCutCommand);
    ASSERT_TRUE(WaitOverlayShown()) << "no overlay";
  }

  // Presses the left button at one point and releases it at another, the
  // modifiers held from before the press to after the release.
  void DragOnOverlay(POINT from, POINT to, std::initializer_list<input::Modifier> modifiers = {}) {
    const input::HeldModifiers held(modifiers);
    ASSERT_TRUE(held.held()) << "the modifiers did not reach the system";
    ASSERT_TRUE(input::MoveTo(from));
    input::Press(input::Button::Left);
    // An intermediate point, so the overlay sees the drag move.
    ASSERT_TRUE(input::MoveTo({(from.x + to.x) / 2 + 1, (from.y + to.y) / 2 + 1}));
    ASSERT_TRUE(input::MoveTo(to));
    input::Release(input::Button::Left);
    ASSERT_TRUE(WaitOverlayGone()) << "the overlay did not close after the drag";
  }

  // Arrow keys on the overlay, one after the other: each moves the pointer
  // one pixel, none past the screen's edge. `at` is where the pointer is and
  // becomes where the keys put it; the buttons then go there.
  ::testing::AssertionResult PressArrows(std::initializer_list<WORD> keys, POINT& at) {
    const LONG right = GetSystemMetrics(SM_CXSCREEN) - 1;
    const LONG bottom = GetSystemMetrics(SM_CYSCREEN) - 1;
    for (WORD key : keys) {
      at.x = std::clamp(at.x + (key == VK_RIGHT) - (key == VK_LEFT), 0L, right);
      at.y = std::clamp(at.y + (key == VK_DOWN) - (key == VK_UP), 0L, bottom);
      input::Key(key);
      POINT now{};
      const auto there = [&] { return GetCursorPos(&now) && now.x == at.x && now.y == at.y; };
      // The next key only once the pointer stays: Wine may still apply a
      // position from before this key, which the next key would start from.
      bool steady = false;
      for (int attempt = 0; attempt < 10 && !steady; ++attempt) {
        if (!WaitUntil(there, 3s)) break;
        steady = !WaitUntil([&] { return !there(); }, kArrowSteadyFor);
      }
      if (!steady)
        return ::testing::AssertionFailure() << "the pointer is at (" << now.x << ", " << now.y
                                             << "), not (" << at.x << ", " << at.y << ")";
    }
    input::KeepPointerWhereItIs();
    return ::testing::AssertionSuccess();
  }

  // A whole cut: the overlay opened by command and one drag.
  void Cut(POINT from, POINT to, std::initializer_list<input::Modifier> modifiers = {}) {
    OpenOverlay();
    DragOnOverlay(from, to, modifiers);
  }

  // Posts a command and waits until it has changed the clipboard and the
  // overlay is gone, i.e. until the program has handled it.
  void CommandChangingClipboard(UINT command) {
    const DWORD before = GetClipboardSequenceNumber();
    program_->Command(command);
    ASSERT_TRUE(WaitUntil([&] {
      return GetClipboardSequenceNumber() != before && OverlayWindow() == nullptr;
    })) << "command "
        << command << " did not reach the clipboard";
  }

  // The cut command's menu items tell whether a cut exists.
  bool MenuSaysACutExists() {
    const auto menu = OpenTrayMenu();
    const MenuItem* again = FindItem(menu, L"前回と同じ画面範囲を切り取る(&R)");
    const MenuItem* last = FindItem(menu, L"最後に切り取った画像(&L)");
    CloseMenu();
    return again && last && again->enabled && last->enabled;
  }

  std::unique_ptr<PatternWindow> pattern_;
};

}  // namespace e2e
