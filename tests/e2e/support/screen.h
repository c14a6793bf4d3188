#pragma once
// The screen pattern, pictures read from the clipboard and the overlay, as
// the end-to-end tests of the cut see them.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// Pixels as 0x00RRGGBB, rows top to bottom.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

enum class Pattern { Plain, Inverted };

// The colour the pattern window shows at a screen pixel.
uint32_t PatternPixel(Pattern pattern, int x, int y);

// The pattern helper's window over every monitor, shown until destruction.
class PatternWindow {
 public:
  explicit PatternWindow(Pattern pattern = Pattern::Plain);
  ~PatternWindow();
  PatternWindow(const PatternWindow&) = delete;
  PatternWindow& operator=(const PatternWindow&) = delete;
  // True once the screen shows the pattern.
  bool shown() const { return shown_; }
  HWND window() const { return window_; }

 private:
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
  bool shown_ = false;
};

// Checks that a picture is exactly the pattern's rectangle (left, top,
// width, height); on failure names the first differing pixel.
::testing::AssertionResult IsPatternArea(const std::optional<Picture>& picture, Pattern pattern,
                                         const RECT& area);

// The screen's pixels in a rectangle (left, top, right, bottom exclusive),
// as another program sees them.
std::optional<Picture> ScreenPicture(const RECT& area);

// A packed DIB (header, colours, bits) as pixels; nothing when malformed.
std::optional<Picture> PictureFromPackedDib(const void* dib, size_t bytes);
// The clipboard's CF_DIB picture, or nothing when it holds none.
std::optional<Picture> ClipboardPicture();
// The clipboard's text, or nothing when it holds none.
std::optional<std::wstring> ClipboardText();
// Replaces the clipboard's contents with a text, as another program would.
bool SetClipboardText(const std::wstring& text);
// Empties the clipboard.
bool ClearClipboard();
// Formats on the clipboard.
int ClipboardFormatCount();

// Holds the clipboard open, as another program may, until release or
// destruction.
class ClipboardHold {
 public:
  ClipboardHold();
  ~ClipboardHold() { Release(); }
  ClipboardHold(const ClipboardHold&) = delete;
  ClipboardHold& operator=(const ClipboardHold&) = delete;
  bool held() const { return held_; }
  void Release();

 private:
  bool held_ = false;
};

// The overlay window of the program, when it exists.
HWND OverlayWindow();
bool OverlayVisible();
// Waits until the overlay is shown, or until it is gone.
bool WaitOverlayShown();
bool WaitOverlayGone();

}  // namespace e2e
